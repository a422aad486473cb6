// One editor per user: a second start hands its request to the first.
#include "app/gui/single_instance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <thread>

namespace tavro::gui {
namespace {

TEST(SingleInstanceTest, RequestsRoundTrip) {
  StartRequest r;
  r.kind = StartRequest::kPrintTo;
  r.printer = QStringLiteral("lp0");
  r.files = {QStringLiteral("/a/回路.tcd"), QStringLiteral("/b/c.tpj")};
  StartRequest back;
  ASSERT_TRUE(DecodeRequest(EncodeRequest(r), back));
  EXPECT_EQ(back.kind, r.kind);
  EXPECT_EQ(back.printer, r.printer);
  EXPECT_EQ(back.files, r.files);
  EXPECT_FALSE(DecodeRequest(QByteArray("garbage"), back));
  EXPECT_FALSE(DecodeRequest(QByteArray(), back));
}

TEST(SingleInstanceTest, ASecondStartPassesItsFilesOn) {
  const QString name = QStringLiteral("tavro-test-%1").arg(QCoreApplication::applicationPid());
  SingleInstance second(name);
  // Nobody listens yet: the start runs the editor itself.
  EXPECT_FALSE(second.PassOn(StartRequest{}, 200));

  SingleInstance first(name);
  ASSERT_TRUE(first.Listen());
  StartRequest got;
  bool received = false;
  QObject::connect(&first, &SingleInstance::Requested, [&](const StartRequest& r) {
    got = r;
    received = true;
  });
  StartRequest r;
  r.files = {QStringLiteral("/tmp/x.tcd")};
  // The sender waits for the answer while this thread's loop serves the
  // listener, so it runs in a thread of its own.
  std::atomic<bool> passed = false;
  std::atomic<bool> done = false;
  std::thread sender([&] {
    SingleInstance s(name);
    passed = s.PassOn(r, 5000);
    done = true;
  });
  QElapsedTimer timer;
  timer.start();
  while (!done && timer.elapsed() < 8000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  sender.join();
  EXPECT_TRUE(passed);
  EXPECT_TRUE(received);
  EXPECT_EQ(got.files, r.files);
}

}  // namespace
}  // namespace tavro::gui
