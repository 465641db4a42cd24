#include "transfer/composition.h"

namespace scantora {

std::vector<std::string_view> SideNames(const CompositionJob& job) {
    std::vector<std::string_view> names = {job.front_name};
    if (job.back_name != job.front_name) names.push_back(job.back_name);
    return names;
}

ComposedName ComposePath(std::string_view root, std::span<const std::string> rules,
                         const LevelValueTable& values, std::string_view side_name) {
    ComposedName path = ComposedOf(root);
    if (path.size() > kMaxPathText) path.resize(kMaxPathText);
    for (std::size_t level = 0; level < rules.size() && level < kLevelSlots; ++level) {
        AppendComposition(path, rules[level], {values.values(), side_name}, level + 1);
    }
    return path;
}

}  // namespace scantora
