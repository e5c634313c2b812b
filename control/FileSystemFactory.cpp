// Creates the file store that a ConnectTarget value stands for.
#include "control/FileSystemFactory.h"

std::unique_ptr<CWyFileSystem> CreateFileSystem(long, CWyFileSystemOwner&)
{
    // No store is available in this build yet: every target fails to create.
    return nullptr;
}
