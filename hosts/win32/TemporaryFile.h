#pragma once

#include <string>

#include "hosts/win32/FaultPlan.h"
#include "hosts/win32/UniqueHandle.h"

namespace brelmont::win32 {

// A new, empty file "<directory>\.<name>.brelmont-XXXXXX" beside the file it will replace, open
// for writing; deleted again when it goes out of scope before being put in place.
class TemporaryFile {
  public:
    // `accessFrom`: the file whose access rules (its DACL) the new one gets from its creation, so
    // nobody who may not read that file reads what is written here; empty: the folder's
    // inherited rules, as for any new file.
    TemporaryFile(const std::string& directory, const std::string& targetName,
                  const std::string& accessFrom, FaultPlan& faults);
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile();

    UniqueFile& File() { return file_; }
    const std::string& Path() const { return path_; }
    // The file now lives under the target's name; nothing is left to delete.
    void MarkPlaced() { placed_ = true; }

  private:
    std::string path_;
    UniqueFile file_;
    bool placed_ = false;
};

}  // namespace brelmont::win32
