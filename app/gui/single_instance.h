// One editor per user: the first start listens on a local socket named for
// the user; a later start hands its request (files to open, or to print) to
// it and exits.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QStringList>
#include <functional>

namespace tavro::gui {

// What a start asks of the editor.
struct StartRequest {
  enum Kind { kOpen, kPrint, kPrintTo };
  Kind kind = kOpen;
  QString printer;    // kPrintTo
  QStringList files;  // absolute paths
};

// The request in the form passed between instances, and back.
QByteArray EncodeRequest(const StartRequest& r);
bool DecodeRequest(const QByteArray& bytes, StartRequest& r);

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  // `name` is the socket's name (default: one per user).
  explicit SingleInstance(QString name = {});
  // Hands the request to a running instance; true when one took it.
  bool PassOn(const StartRequest& request, int timeoutMs = 2000);
  // Starts listening (after PassOn found no instance); false when the socket
  // cannot be made (the editor then runs alone).
  bool Listen();
  static QString DefaultName();

 Q_SIGNALS:
  void Requested(const tavro::gui::StartRequest& request);

 private:
  QString name_;
  QLocalServer server_;
};

}  // namespace tavro::gui
