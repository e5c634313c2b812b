// Creates the file store that a ConnectTarget value stands for.
#include "control/FileSystemFactory.h"

#include "control/WyFTPIds.h"
#include "filesystem/WyFTPFileSystem.h"
#include "filesystem/WyLocalFileSystem.h"

std::unique_ptr<CWyFileSystem> CreateFileSystem(long connectTarget, CWyFileSystemOwner& owner)
{
    switch (connectTarget) {
    case WyFTPConnectTargetLocal:
        return std::make_unique<CWyLocalFileSystem>(&owner);
    case WyFTPConnectTargetFTP:
    case WyFTPConnectTargetSFTP:
        // The connection options carry the protocol.
        return std::make_unique<CWyFTPFileSystem>(&owner);
    default:
        return nullptr;
    }
}
