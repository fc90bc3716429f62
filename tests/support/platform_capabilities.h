#pragma once
// What the system under the tests can do, where systems the program runs on
// differ in ways no backend can make up for.
namespace velmora::test {

// True when the system decodes GB18030's four-byte sequences. Windows and
// iconv do; Wine before version 9 has only the GBK part of the code page.
bool hasGb18030FourByteTable();

// True when a blocking wait for an HTTP response ends at the receive
// time-out set for it. libcurl's backend and Windows' WinINet do; Wine's
// WinINet (8.0) waits on for ever, whatever time-out is set on the session
// or the request. (A wait for more of a body is the downloader's own on
// every backend, and ends at its limit whatever the library does.)
bool endsStalledHttpReads();

// True when a connection reset that reaches the client before it reads is
// reported by the next read as a failure. libcurl and Windows do; Wine's
// sockets report it as the end of the stream unless a read was already
// waiting when it came, which a body without a length cannot tell from its
// end.
bool reportsEarlyResets();

// True when a lock file left behind read-only still locks: flock needs no
// write access; Windows' lock opens its file to delete it when it closes,
// which a read-only file refuses (Wine run as root does not).
bool locksAReadOnlyLockFile();

}  // namespace velmora::test
