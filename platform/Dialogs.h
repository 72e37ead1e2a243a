#pragma once

// The modal dialogs of the program-directory search: the path choice and the directory browse.

#include <string>
#include <vector>

namespace brelmont::platform {

// What the path choice dialog shows: all texts come from the program, the entries already cut
// and filtered.
struct PathChoiceRequest {
    std::string caption;
    std::string label;
    std::string columnHeader;
    std::vector<std::string> entries;
};

enum class PathChoiceEnd {
    Chosen,     // OK or double-click on an entry
    Cancelled,  // the Cancel button
    Closed,     // Esc or any other way of closing the dialog
};

struct PathChoice {
    PathChoiceEnd end = PathChoiceEnd::Closed;
    std::string path;  // the chosen entry when end is Chosen
};

struct BrowseRequest {
    std::string title;
    std::string initialDirectory;  // a path text of the program (map it as the files do)
    std::string proposedFileName;
    std::string filter;
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // The modal path choice dialog, owned by the main window.
    virtual PathChoice ChooseProgramPath(const PathChoiceRequest& request) = 0;

    // The modal directory choice: a full path without trailing separator, or the empty text when
    // the user gave up. May throw; the caller skips failures.
    virtual std::string BrowseForDirectory(const BrowseRequest& request) = 0;
};

}  // namespace brelmont::platform
