#include "acquisition/batch_file_list.h"

#include <algorithm>
#include <system_error>

#include "operator/fixed_messages.h"
#include "operator/text_ids.h"

namespace scantora {

void BatchFileList::Fill(const std::filesystem::path& directory) {
    directory_ = directory;
    files_.clear();
    std::error_code error;
    for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code kind_error;
        if (name.empty() || name.front() == '.' || !it->is_regular_file(kind_error)) continue;
        files_.push_back(it->path());
    }
    std::sort(files_.begin(), files_.end());
    if (selected_ && *selected_ >= files_.size()) selected_.reset();
}

void BatchFileList::Clear() {
    directory_.clear();
    files_.clear();
    selected_.reset();
}

void BatchFileList::Select(std::size_t index) {
    if (index < files_.size())
        selected_ = index;
    else
        selected_.reset();
}

const std::filesystem::path* BatchFileList::SelectedFile() const {
    return selected_ ? &files_[*selected_] : nullptr;
}

bool BatchFileList::DeleteSelected(Operator& op, const InterfaceTexts& texts) {
    if (!selected_) return false;
    const std::size_t position = *selected_;
    const std::filesystem::path file = files_[position];
    std::error_code error;
    if (std::filesystem::exists(file, error)) {
        const std::string question = texts.Text(text_id::kConfirmDelete) + " " + file.string();
        if (!op.AskYesNo(question, false)) return false;
        if (!std::filesystem::remove(file, error))
            op.Stop(fixed_message::WithArgument(fixed_message::kDeleteFailed, file.string()));
    }
    Refill();
    if (!files_.empty()) Select(std::min(position, files_.size() - 1));
    return true;
}

void DeleteBatchFile(BatchFileList& list, Viewer& viewer, Operator& op,
                     const InterfaceTexts& texts) {
    const std::filesystem::path* chosen = list.SelectedFile();
    if (!chosen) return;
    const std::filesystem::path file = *chosen;
    if (!list.DeleteSelected(op, texts)) return;
    const std::filesystem::path* next = list.SelectedFile();
    if (next && viewer.ShowFile(*next)) return;
    // Nothing takes its place: a deleted page must not stay on the screen as if it were there.
    std::error_code error;
    if (viewer.file() == file && !std::filesystem::exists(file, error)) viewer.Close();
}

}  // namespace scantora
