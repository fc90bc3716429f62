#pragma once
// What the system under the tests can do, where systems the program runs on
// differ in ways no backend can make up for.
namespace velmora::testing {

// True when the system decodes GB18030's four-byte sequences. Windows and
// iconv do; Wine before version 9 has only the GBK part of the code page.
bool hasGb18030FourByteTable();

}  // namespace velmora::testing
