// One client connection from pre-login to close: the login checked against the logins file,
// then requests (language batches, RPC calls, transaction requests, attention) run on the
// session's own engine connection, replies streamed as token packets. Any protocol error ends
// this session only.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "server/packet.h"
#include "server/users.h"

namespace xfer::engine {
class Server;
class Connection;
}  // namespace xfer::engine

namespace xfer::server {

struct ServedDirectory {
  std::shared_ptr<engine::Server> server;
  Users users;
  std::string name;  // server name shown in messages
};

class Session {
 public:
  Session(int socket, const ServedDirectory& served);
  ~Session();
  // Serves the client until it disconnects or breaks the protocol.
  void Run();

 private:
  struct Prepared {
    std::string declarations;
    std::string statement;
  };

  bool ReadExactly(char* out, size_t n);
  void Send(std::string_view bytes);
  bool Login();
  void Batch(const Message& m);
  void Rpc(const Message& m);
  void Transaction(const Message& m);
  void Reply(const std::string& tokens);
  // Runs a batch, streaming results and messages; `inProc` closes statements with DONEINPROC.
  // Returns false when the batch failed.
  bool RunBatch(const std::string& sql, bool inProc);
  void Error(int number, int severity, const std::string& text);
  bool ClientCancelled();
  void DatabaseChanged();
  std::string_view SkipHeaders(std::string_view body);

  int socket_;
  const ServedDirectory& served_;
  std::unique_ptr<engine::Connection> conn_;
  PacketWriter writer_;
  std::string database_;
  std::map<int, Prepared> prepared_;
  int nextHandle_ = 1;
  bool cancelled_ = false;
  uint64_t transaction_ = 0;
};

}  // namespace xfer::server
