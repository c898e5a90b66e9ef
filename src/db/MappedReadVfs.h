#pragma once

namespace db {

// The name of a file system layer for sqlite3_open_v2 that serves the reads
// of a database opened read-only from a memory mapping of its file instead
// of one system call per page. The page cache of the operating system backs
// the mapping, so nothing is copied into the process's own memory, and only
// what the engine reads is brought in: a file longer than its pages is read no
// further than them.
//
// Meant for a connection that reads a whole file once (the structure check
// of a new backup copy): the mapping is made when the file is opened, so the
// file must not change while the connection has it open, and no other
// connection of this process may have it open (opening and closing the
// mapped file's own handle would drop that connection's file locks).
// Registered on first use; every other call goes to the default layer.
const char *mappedReadVfs();

// The name of a file system layer for a database opened read-only that reads
// its file a quarter megabyte block at a time into a few blocks of its own
// (four megabytes), through the default layer's own file handle, and serves
// the page reads from them. A whole-file check reads its pages mostly near
// the pages it read last: one system call then serves a block's pages, and
// no page of the file is mapped into the process (where first touching each
// mapped page costs a fault, notably on a virtual machine). The same terms
// as the mapped layer: the file must not change while it is open.
const char *blockReadVfs();

} // namespace db
