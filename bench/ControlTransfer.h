// A transfer through the registered WyFTP control, driven as a host drives it.
#pragma once
#include "bench/TransferCase.h"

// Creates the registered control (CoCreateInstance), connects a sink that
// counts TransferProgress events (unless the case says not to), and:
// - download: ConnectTarget 0 on the download directory's drive, then
//   PutFile with an ftp URL of the remote file, which the local store
//   downloads through the chunked copy loop;
// - upload: ConnectTarget 1 to the server's upload directory, then PutFile
//   with the local upload source.
// Only the PutFile call is timed. TransferByte is the case's chunk size;
// EnableProgressDialog is the case's dialog setting. Over explicit TLS the
// control gets the setup's CertificatePin, the download an ftpes URL and the
// upload SecurityMode 1; the certificate it saw must then be the pinned one.
TransferSample RunControlTransfer(const BenchSetup& setup, const TransferCase& transfer);
