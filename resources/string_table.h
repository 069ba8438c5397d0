#pragma once

// The program's string table: the message texts with ids 101-109 (UTF-8).
namespace snipora {

// Text of string `id`, or nullptr when the table has no such string.
const char* StringTableText(int id);

}  // namespace snipora
