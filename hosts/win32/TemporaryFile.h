#pragma once

#include <string>

#include "hosts/win32/FaultPlan.h"
#include "hosts/win32/UniqueHandle.h"

namespace brelmont::win32 {

// A new, empty file "<directory>\.<name>.brelmont-XXXXXX" beside the file it will replace, open
// for writing; deleted again when it goes out of scope before being put in place.
class TemporaryFile {
  public:
    TemporaryFile(const std::string& directory, const std::string& targetName, FaultPlan& faults);
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
