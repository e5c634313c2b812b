// The protocol trace appended to a file for support: one line per command, reply line or connection, with its time.
#pragma once
#include <string>

// Appends "YYYY-MM-DD hh:mm:ss.mmm line" (local time, CR LF) to the file at
// path, creating it, and closes it again, so that every line is on disk
// at once, whatever happens to the process next. A file that cannot be
// written is passed over: a trace never fails a call.
void AppendTraceLine(const std::string& path, const std::string& line);
