// Acting on the directory a store stands in: out of it meanwhile, then where it went, or back after a failure.
#pragma once
#include <functional>
#include <string>

class CWyFileSystem;

// Runs work, which removes or renames the store's working directory when
// standsInIt: neither a server nor the disk acts on the directory it stands
// in, so the store stands in "/" meanwhile and then in after (where the
// directory went); when work fails, back in before, which the views still
// show, and work's failure is raised, not one of going back.
void RunOutsideWorkingDirectory(CWyFileSystem& store, bool standsInIt, const std::string& before,
                                const std::string& after, const std::function<void()>& work);
