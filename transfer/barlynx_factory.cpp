#include "transfer/barlynx_factory.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace scantora {
namespace {

std::vector<std::string> LibraryCandidates() {
    const char* chosen = std::getenv(kBarlynxLibraryVariable);
    if (chosen && *chosen) return {chosen};
    std::vector<std::string> candidates;
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) candidates.push_back((program.parent_path() / kBarlynxLibraryName).string());
    candidates.push_back(kBarlynxLibraryName);
    return candidates;
}

// The component's library; null with `error` set when none of the candidates loads.
void* LoadLibrary(std::string& error) {
    for (const std::string& candidate : LibraryCandidates()) {
        // Never closed: the control's code must outlive every control made from it.
        if (void* library = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)) return library;
        if (!error.empty()) error += "; ";
        error += dlerror();
    }
    return nullptr;
}

}  // namespace

CreatedBarlynx CreateBarlynxControl(std::string_view class_id) {
    CreatedBarlynx created;
    void* library = LoadLibrary(created.error);
    if (!library) return created;
    created.error.clear();
    auto create = reinterpret_cast<barlynx::CreateInstanceFunction>(
        dlsym(library, barlynx::kCreateInstanceSymbol));
    auto load_error =
        reinterpret_cast<barlynx::LoadErrorFunction>(dlsym(library, barlynx::kLoadErrorSymbol));
    if (!create || !load_error) {
        created.error = "the Barlynx library has no class factory";
        return created;
    }
    created.control.reset(create(std::string(class_id).c_str()));
    if (!created.control) {
        const std::string why = load_error();
        created.error = "no Barlynx control for " + std::string(class_id);
        if (!why.empty()) created.error += ": " + why;
    }
    return created;
}

}  // namespace scantora
