// The process's internet root, and the connections made on it.
//
// Threads: any thread may connect and let its connection go. Wine's WinINet
// keeps the root's list of connections, and the proxy user name and
// password that each connection is given, on the root itself, without a
// lock: two threads that connect, set those names or close a connection at
// once corrupt the list or free the same string twice. So every one of those
// calls is made here, under the root's lock; none of them waits for the
// network, so the lock is held briefly. A connection's requests belong to
// the thread that made them and need no lock.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

#include "runtime/owned.h"

namespace net {

// Closes a connection under the root's lock.
void CloseRootConnection(HINTERNET connection);
// A connection to one server, made on the root.
using RootConnection = runtime::Owned<runtime::NullEmptyTraits<HINTERNET, &CloseRootConnection>>;

// Connects to `host` for `service` on the root, which the first connection opens, with the
// internet library's proxy credentials set on the connection. An empty
// connection, with the thread's last error set, when either fails.
RootConnection ConnectOnRoot(const std::string& host, INTERNET_PORT port,
                             const std::string& userName, const std::string& password,
                             DWORD service);

// Closes the root at program end, unless a connection is still open on it:
// a GET that was left behind may still be inside its calls, and the close
// would walk the list that GET changes. The process's end then takes the
// root with it. A later connection opens the root again.
void CloseInternetRoot();

}  // namespace net
