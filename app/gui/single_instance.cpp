#include "app/gui/single_instance.h"

#include <unistd.h>

#include <QDataStream>
#include <QLocalSocket>

namespace tavro::gui {

namespace {
constexpr quint32 kMagic = 0x54415652;  // "TAVR"
}

QByteArray EncodeRequest(const StartRequest& r) {
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out << kMagic << static_cast<qint32>(r.kind) << r.printer << r.files;
  return bytes;
}

bool DecodeRequest(const QByteArray& bytes, StartRequest& r) {
  QDataStream in(bytes);
  quint32 magic = 0;
  qint32 kind = 0;
  in >> magic >> kind >> r.printer >> r.files;
  if (in.status() != QDataStream::Ok || magic != kMagic || kind < 0 ||
      kind > StartRequest::kPrintTo)
    return false;
  r.kind = static_cast<StartRequest::Kind>(kind);
  return true;
}

QString SingleInstance::DefaultName() { return QStringLiteral("tavro-%1").arg(::getuid()); }

SingleInstance::SingleInstance(QString name) : name_(name.isEmpty() ? DefaultName() : name) {
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* s = server_.nextPendingConnection()) {
      connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
      connect(s, &QLocalSocket::readyRead, this, [this, s] {
        // One request per connection: a length and the encoded request.
        if (s->bytesAvailable() < 4) return;
        QDataStream in(s);
        in.startTransaction();
        QByteArray bytes;
        in >> bytes;
        if (!in.commitTransaction()) return;
        StartRequest r;
        if (DecodeRequest(bytes, r)) Q_EMIT Requested(r);
        s->write("ok");
        s->flush();
        s->disconnectFromServer();
      });
    }
  });
}

bool SingleInstance::PassOn(const StartRequest& request, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(timeoutMs)) return false;
  QByteArray frame;
  QDataStream out(&frame, QIODevice::WriteOnly);
  out << EncodeRequest(request);
  socket.write(frame);
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  // The running instance answers once it has the request.
  if (!socket.waitForReadyRead(timeoutMs)) return false;
  return socket.readAll().startsWith("ok");
}

bool SingleInstance::Listen() {
  // A socket left by an instance that died is removed first.
  QLocalServer::removeServer(name_);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  return server_.listen(name_);
}

}  // namespace tavro::gui
