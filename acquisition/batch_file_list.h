// The batch file list of the identification panel: the files of the current batch directory,
// one selected, and the delete command that asks first and then shows the file that takes the
// deleted one's place.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <vector>

#include "acquisition/viewer.h"
#include "operator/interface_texts.h"
#include "operator/operator.h"

namespace scantora {

class BatchFileList {
public:
    // Lists the files of `directory` whose names do not begin with ".", by name, as full paths.
    // The selection stays at its position when there still is one.
    void Fill(const std::filesystem::path& directory);
    // Lists the same directory again.
    void Refill() { Fill(directory_); }
    void Clear();

    const std::filesystem::path& directory() const { return directory_; }
    const std::vector<std::filesystem::path>& files() const { return files_; }
    std::optional<std::size_t> selected() const { return selected_; }
    // Selects entry `index`; one outside the list selects nothing.
    void Select(std::size_t index);
    const std::filesystem::path* SelectedFile() const;

    // Deletes the selected file after the operator's Yes (text 61527 and its path; "Error Delete
    // File: .." when it cannot), lists the directory again and selects the entry now at the same
    // position, or the last one. Returns false when it did nothing: no selection, or the operator
    // said No.
    bool DeleteSelected(Operator& op, const InterfaceTexts& texts);

private:
    std::filesystem::path directory_;
    std::vector<std::filesystem::path> files_;
    std::optional<std::size_t> selected_;
};

// The panel's delete command with the viewer: after the list's delete the new selection is
// shown; when the list is empty and the viewer showed the deleted file, the viewer is emptied.
void DeleteBatchFile(BatchFileList& list, Viewer& viewer, Operator& op,
                     const InterfaceTexts& texts);

}  // namespace scantora
