#include "server/session.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "engine/engine.h"
#include "server/column_types.h"
#include "server/login.h"
#include "server/prelogin.h"
#include "server/rpc.h"
#include "server/tokens.h"
#include "server/wire.h"

namespace xfer::server {
namespace {

constexpr int kLoginFailed = 18456;
constexpr int kCannotOpenDatabase = 4060;
constexpr int kNoPreparedStatement = 8179;
constexpr size_t kFlushAt = 32 * 1024;

enum class TransactionRequest : uint16_t {
  kDtcAddress = 0,
  kBegin = 5,
  kCommit = 7,
  kRollback = 8
};

}  // namespace

Session::Session(int socket, const ServedDirectory& served)
    : socket_(socket), served_(served), writer_([this](std::string_view b) { Send(b); }, 4096) {}

Session::~Session() = default;

bool Session::ReadExactly(char* out, size_t n) {
  size_t got = 0;
  while (got < n) {
    ssize_t r = ::recv(socket_, out + got, n - got, 0);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) {
      if (got == 0 && r == 0) return false;
      throw ProtocolError("connection lost");
    }
    got += static_cast<size_t>(r);
  }
  return true;
}

void Session::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t r = ::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) throw ProtocolError("connection lost while sending");
    bytes.remove_prefix(static_cast<size_t>(r));
  }
}

void Session::Run() {
  try {
    auto read = [this](char* out, size_t n) { return ReadExactly(out, n); };
    Message m;
    if (!ReadMessage(read, m)) return;
    if (m.type != PacketType::kPreLogin) throw ProtocolError("expected pre-login");
    writer_.Append(PreLoginReply(m.body));
    writer_.End();
    if (!Login()) return;
    writer_.set_interrupted([this] { return ClientCancelled(); });
    while (ReadMessage(read, m)) {
      cancelled_ = false;
      switch (m.type) {
        case PacketType::kSqlBatch:
          Batch(m);
          break;
        case PacketType::kRpc:
          Rpc(m);
          break;
        case PacketType::kTransaction:
          Transaction(m);
          break;
        case PacketType::kAttention: {
          // The reply was complete before the cancel arrived.
          ByteWriter w;
          WriteDone(w, DoneToken::kDone, kDoneAttention, 0);
          Reply(w.data());
          break;
        }
        default:
          throw ProtocolError("unexpected request");
      }
    }
  } catch (const ProtocolError&) {
    // The client broke the protocol or went away: this session ends, the server goes on.
  } catch (const std::exception&) {
    // Anything else unexpected ends this session too, never the server.
  }
}

bool Session::Login() {
  auto read = [this](char* out, size_t n) { return ReadExactly(out, n); };
  Message m;
  if (!ReadMessage(read, m)) return false;
  if (m.type != PacketType::kLogin7) throw ProtocolError("expected login");
  LoginRequest login = ParseLogin(m.body);
  ByteWriter w;
  auto refuse = [&](int number, int severity, const std::string& text) {
    WriteMessage(w, MessageOf(number, 1, severity, text), served_.name);
    WriteDone(w, DoneToken::kDone, kDoneError, 0);
    Reply(w.data());
    return false;
  };
  if (login.integratedSecurity || !served_.users.Accepts(login.userName, login.password))
    return refuse(kLoginFailed, 14, "Login failed for user '" + login.userName + "'.");
  try {
    conn_ = std::make_unique<engine::Connection>(served_.server, login.database);
  } catch (const engine::SqlError&) {
    return refuse(kCannotOpenDatabase, 11,
                  "Cannot open database \"" + login.database +
                      "\" requested by the login. The login failed.");
  }
  database_ = conn_->CurrentDatabase();
  size_t packetSize =
      std::clamp<size_t>(login.packetSize == 0 ? 4096 : login.packetSize, 512, kMaxPacketSize);
  WriteEnvChange(w, EnvChange::kDatabase, database_, "master");
  WriteMessage(w, MessageOf(5701, 2, 0, "Changed database context to '" + database_ + "'."),
               served_.name);
  WriteCollationChange(w);
  WriteEnvChange(w, EnvChange::kLanguage, "us_english", "");
  WriteMessage(w, MessageOf(5703, 1, 0, "Changed language setting to us_english."), served_.name);
  WriteLoginAck(w);
  WriteEnvChange(w, EnvChange::kPacketSize, std::to_string(packetSize), "4096");
  WriteDone(w, DoneToken::kDone, kDoneFinal, 0);
  Reply(w.data());
  writer_.set_packet_size(packetSize);
  return true;
}

void Session::Reply(const std::string& tokens) {
  writer_.Append(tokens);
  writer_.End();
}

std::string_view Session::SkipHeaders(std::string_view body) {
  ByteReader r(body);
  uint32_t total = r.U32();
  if (total < 4 || total > body.size()) throw ProtocolError("bad request headers");
  return body.substr(total);
}

bool Session::ClientCancelled() {
  if (cancelled_) return true;
  pollfd p{socket_, POLLIN, 0};
  if (::poll(&p, 1, 0) <= 0) return false;
  Message m;
  if (!ReadMessage([this](char* out, size_t n) { return ReadExactly(out, n); }, m))
    throw ProtocolError("connection closed during a request");
  if (m.type != PacketType::kAttention) throw ProtocolError("request while a reply is running");
  cancelled_ = true;
  return true;
}

void Session::DatabaseChanged() {
  std::string now = conn_->CurrentDatabase();
  if (now == database_) return;
  ByteWriter w;
  WriteEnvChange(w, EnvChange::kDatabase, now, database_);
  WriteMessage(w, MessageOf(5701, 2, 0, "Changed database context to '" + now + "'."),
               served_.name);
  writer_.Append(w.data());
  database_ = now;
}

bool Session::RunBatch(const std::string& sql, bool inProc) {
  DoneToken done = inProc ? DoneToken::kDoneInProc : DoneToken::kDone;
  bool pending = false;  // a result set waits for its DONE
  uint64_t pendingRows = 0;
  auto flush = [&] {
    if (!pending) return;
    ByteWriter w;
    WriteDone(w, done, kDoneMore | kDoneCount, pendingRows);
    writer_.Append(w.data());
    pending = false;
  };
  conn_->SetMessageSink(engine::MessageSink{[&](const std::string& text) {
                                              flush();
                                              ByteWriter w;
                                              WriteMessage(w, MessageOf(0, 1, 0, text),
                                                           served_.name);
                                              writer_.Append(w.data());
                                            },
                                            [&](long long rows) {
                                              pending = true;
                                              pendingRows = static_cast<uint64_t>(rows);
                                              flush();
                                              DatabaseChanged();
                                            }});
  bool ok = true;
  try {
    conn_->Execute(sql, [&](engine::ResultSet&& rs) {
      flush();
      DatabaseChanged();
      if (ClientCancelled()) throw PacketWriter::Cancelled{};
      std::vector<ColumnType> types;
      for (size_t c = 0; c < rs.fields.size(); ++c)
        types.push_back(ColumnTypeOf(rs.fields[c], rs.rows, c));
      ByteWriter w;
      WriteColumnMetadata(w, rs.fields, types);
      for (const auto& row : rs.rows) {
        WriteRow(w, types, row);
        if (w.size() >= kFlushAt) {
          writer_.Append(w.data());
          w.data().clear();
        }
      }
      writer_.Append(w.data());
      pending = true;
      pendingRows = rs.rows.size();
    });
    flush();
    DatabaseChanged();
  } catch (const engine::SqlError& e) {
    flush();
    DatabaseChanged();
    ByteWriter w;
    WriteMessage(w,
                 MessageOf(e.number(), e.state(), std::max(e.severity(), 11), e.message(),
                           std::max(e.line(), 1)),
                 served_.name);
    writer_.Append(w.data());
    ok = false;
  }
  conn_->SetMessageSink({});
  return ok;
}

void Session::Error(int number, int severity, const std::string& text) {
  ByteWriter w;
  WriteMessage(w, MessageOf(number, 1, severity, text), served_.name);
  writer_.Append(w.data());
}

void Session::Batch(const Message& m) {
  std::string sql = Utf16ToUtf8(SkipHeaders(m.body));
  try {
    bool ok = RunBatch(sql, false);
    ByteWriter w;
    WriteDone(w, DoneToken::kDone, ok ? kDoneFinal : kDoneError, 0);
    Reply(w.data());
  } catch (const PacketWriter::Cancelled&) {
    ByteWriter w;
    WriteDone(w, DoneToken::kDone, kDoneAttention, 0);
    writer_.EndCancelled(w.data());
  }
}

void Session::Rpc(const Message& m) {
  RpcCall call = ParseRpc(SkipHeaders(m.body));
  auto& p = call.params;
  auto text = [&](size_t i) { return i < p.size() ? p[i].text : std::string(); };
  auto values = [&](size_t from) {
    return std::vector<RpcParam>(p.begin() + static_cast<long>(std::min(from, p.size())), p.end());
  };
  int handle = 0;
  bool returnsHandle = false;
  bool ok = true;
  try {
    switch (call.proc) {
      case WellKnownProc::kExecuteSql:
        ok = RunBatch(ParameterizedBatch(text(1), text(0), values(2)), true);
        break;
      case WellKnownProc::kPrepare:
      case WellKnownProc::kPrepExec:
        handle = nextHandle_++;
        prepared_[handle] = Prepared{text(1), text(2)};
        returnsHandle = true;
        if (call.proc == WellKnownProc::kPrepExec)
          ok = RunBatch(ParameterizedBatch(text(1), text(2), values(3)), true);
        break;
      case WellKnownProc::kExecute: {
        int wanted = static_cast<int>(std::strtol(text(0).c_str(), nullptr, 10));
        auto it = prepared_.find(wanted);
        if (it == prepared_.end()) {
          Error(kNoPreparedStatement, 16,
                "Could not find prepared statement with handle " + text(0) + ".");
          ok = false;
        } else {
          ok = RunBatch(
              ParameterizedBatch(it->second.declarations, it->second.statement, values(1)), true);
        }
        break;
      }
      case WellKnownProc::kUnprepare:
        prepared_.erase(static_cast<int>(std::strtol(text(0).c_str(), nullptr, 10)));
        break;
      case WellKnownProc::kNone:
        if (call.name.empty()) {
          Error(engine::err::kUnsupported, 16, "This remote procedure call is not supported.");
          ok = false;
        } else {
          ok = RunBatch(ProcedureBatch(call), true);
        }
        break;
    }
    ByteWriter w;
    WriteReturnStatus(w, ok ? 0 : 1);
    if (returnsHandle) WriteReturnInt(w, 0, p.empty() ? "" : p[0].name, handle);
    WriteDone(w, DoneToken::kDoneProc, ok ? kDoneFinal : kDoneError, 0);
    Reply(w.data());
  } catch (const PacketWriter::Cancelled&) {
    ByteWriter w;
    WriteDone(w, DoneToken::kDoneProc, kDoneAttention, 0);
    writer_.EndCancelled(w.data());
  }
}

void Session::Transaction(const Message& m) {
  ByteReader r(SkipHeaders(m.body));
  auto request = static_cast<TransactionRequest>(r.U16());
  ByteWriter w;
  bool ok = true;
  switch (request) {
    case TransactionRequest::kBegin:
      ok = RunBatch("BEGIN TRANSACTION", false);
      if (ok) WriteTransactionChange(w, EnvChange::kBeginTransaction, ++transaction_);
      break;
    case TransactionRequest::kCommit:
      ok = RunBatch("IF @@TRANCOUNT > 0 COMMIT", false);
      if (ok) WriteTransactionChange(w, EnvChange::kCommitTransaction, transaction_);
      break;
    case TransactionRequest::kRollback:
      ok = RunBatch("IF @@TRANCOUNT > 0 ROLLBACK", false);
      if (ok) WriteTransactionChange(w, EnvChange::kRollbackTransaction, transaction_);
      break;
    case TransactionRequest::kDtcAddress:
      break;
    default:
      Error(engine::err::kUnsupported, 16, "This transaction request is not supported.");
      ok = false;
  }
  WriteDone(w, DoneToken::kDone, ok ? kDoneFinal : kDoneError, 0);
  Reply(w.data());
}

}  // namespace xfer::server
