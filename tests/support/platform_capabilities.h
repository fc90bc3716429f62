#pragma once
// What the system under the tests can do, where systems the program runs on
// differ in ways no backend can make up for.
namespace velmora::test {

// True when the system decodes GB18030's four-byte sequences. Windows and
// iconv do; Wine before version 9 has only the GBK part of the code page.
bool hasGb18030FourByteTable();

// True when a blocking HTTP read ends at the receive time-out set for it.
// libcurl's backend and Windows' WinINet do; Wine's WinINet (8.0) waits on
// for ever, whatever time-out is set on the session or the request.
bool endsStalledHttpReads();

// True when a lock file left behind that cannot be written still locks:
// flock needs no write access; Windows' lock opens its file to delete it
// when it closes, which a read-only file refuses.
bool locksAReadOnlyLockFile();

// True when a file marked read-only cannot be opened for writing while a
// PermissionBitsHold lives. POSIX and Windows refuse it; Wine run as root
// does not, as root writes through permission bits.
bool refusesWritingReadOnlyFiles();

// While one lives, this thread's file permission bits hold for it as for
// any user: root's override of them (CAP_DAC_OVERRIDE) is set aside.
class PermissionBitsHold {
public:
    PermissionBitsHold();
    ~PermissionBitsHold();
    PermissionBitsHold(const PermissionBitsHold&) = delete;
    PermissionBitsHold& operator=(const PermissionBitsHold&) = delete;

private:
    bool setAside_ = false;
};

}  // namespace velmora::test
