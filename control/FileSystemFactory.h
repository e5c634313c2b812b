// Creates the file store that a ConnectTarget value stands for.
#pragma once
#include "filesystem/WyFileSystem.h"
#include "filesystem/WyFileSystemOwner.h"

#include <memory>

// 0 the local disk, 1 an FTP server, 2 an SSH server; null for any other
// value.
std::unique_ptr<CWyFileSystem> CreateFileSystem(long connectTarget, CWyFileSystemOwner& owner);
