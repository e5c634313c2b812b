// The bare Winsock copy loop: what the platform's sockets (and Schannel) move under the same Wine, the ceiling for the control.
#pragma once
#include "bench/TransferCase.h"

// Downloads the remote file into the download directory, or uploads the
// upload source into the server's upload directory, over a control
// connection of its own: login, TYPE I, PASV (or PORT and accept in active
// mode), RETR or STOR, then recv until one buffer of chunkKiB KiB is full +
// WriteFile (or ReadFile + send) until the end, and the final reply; with
// explicitTls, AUTH TLS, PBSZ 0, PROT P and both connections over Schannel.
// Timed like the WinInet loop: a download from the connect on, an upload from
// the command on.
TransferSample RunBareSocketTransfer(const BenchSetup& setup, const TransferCase& transfer);
