// The bare Winsock copy loop: what the platform's sockets move under the same Wine, the ceiling for the control.
#pragma once
#include "bench/TransferCase.h"

// Downloads the remote file into the download directory, or uploads the
// upload source into the server's upload directory, over a control
// connection of its own: login, TYPE I, PASV, RETR or STOR, then recv until
// one buffer of chunkKiB KiB is full + WriteFile (or ReadFile + send) until
// the end, and the final reply. Timed like the WinInet loop: a download from
// the connect on, an upload from the command on.
TransferSample RunBareSocketTransfer(const BenchSetup& setup, const TransferCase& transfer);
