#include "app/transfer_command.h"

#include <algorithm>

#include "app/program_transfer.h"
#include "transfer/job_patterns.h"

namespace scantora {

TransferChoice TransferChoiceOf(const PresetLevels& preset) {
    TransferChoice choice;
    for (std::size_t i = 0; i < std::min(preset.size(), kLevelSlots) && !preset[i].empty(); ++i) {
        choice.codes[i] = preset[i];
        choice.levels = i + 1;
    }
    return choice;
}

std::size_t ChooseForTransfer(TransferModel& model, const TransferChoice& choice) {
    if (choice.levels == 0) {
        model.MoveDown({});
        return model.chosen().size();
    }
    return model.ChooseMatching(choice.codes, choice.levels);
}

void PrintTransferResult(const TransferRunResult& result, std::size_t shown, std::ostream& out) {
    int documents = 0;
    long long sent = 0;
    long long left = 0;
    for (const SentDocument& document : result.documents) {
        sent += document.sent();
        left += document.left;
        if (document.sent() == 0) continue;
        ++documents;
        out << "sent";
        for (std::size_t i = 0; i < std::min(shown, kLevelSlots); ++i)
            out << '\t' << document.row.values[i];
        out << '\t' << document.sent() << '\t' << document.row.page_count << '\n';
    }
    out << "total\t" << documents << '\t' << sent << '\t' << left << '\n';
}

TransferOutcome RunTransferCommand(const JobRecord& job, const InterfaceTexts& texts, Operator& op,
                                   TransferProgress& progress, const TransferChoice& choice,
                                   const DocumentMove& move, std::ostream& out) {
    TransferModel model(job, false);
    model.Refresh();
    if (ChooseForTransfer(model, choice) == 0) {
        PrintTransferResult({}, model.shown_levels(), out);
        return TransferOutcome::kNothingChosen;
    }
    const TransferRunContext context{job, texts, op, progress, move};
    const TransferRunResult result = SendChosen(model, context);
    PrintTransferResult(result, model.shown_levels(), out);
    return result.success ? TransferOutcome::kSent : TransferOutcome::kFailed;
}

TransferOutcome RunTransferCommand(const JobRecord& job, const InterfaceTexts& texts, Operator& op,
                                   TransferProgress& progress, const TransferChoice& choice,
                                   std::ostream& out) {
    const DiscoveryPatterns selection = BuildJobDiscoveryPatterns(job, ShownLevelCount(job, false));
    TransferOutcome outcome = TransferOutcome::kFailed;
    WithProgramMove(job, op, progress, selection, nullptr, [&](const DocumentMove& move) {
        outcome = RunTransferCommand(job, texts, op, progress, choice, move, out);
    });
    return outcome;
}

}  // namespace scantora
