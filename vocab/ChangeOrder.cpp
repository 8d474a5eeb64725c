#include "ChangeOrder.h"

#include "Reorder.h"
#include "Tr.h"

namespace {

const char kCaptionError[] = N_("Error");

void ShowError(IDialogWindow& window, const char* format, int cause) {
    window.MessageBox({format, {cause}}, kCaptionError, MB_OK);
}

}  // namespace

void ChangeOrder(IDialogWindow& ownerless) {
    auto path = ownerless.ChooseFileToOpen(kVocExtension, kVocFilter);
    if (!path) return;

    const ReorderResult result = ReorderVocFile(*path);
    switch (result.outcome) {
        case ReorderOutcome::kRewritten:
            ownerless.MessageBox(N_("The vocabulary order has been changed"), N_("Order Changed"),
                                 MB_OK);
            break;
        case ReorderOutcome::kCannotOpenForReading:
            ShowError(ownerless, N_("Error Opening file for reading, Code: %d"), result.cause);
            break;
        case ReorderOutcome::kReadFailed:
            ShowError(ownerless, N_("Error reading file, Code: %d. The file was left unchanged."),
                      result.cause);
            break;
        case ReorderOutcome::kCannotOpenForWriting:
            ShowError(ownerless, N_("Error opening file for writing. Code: %d"), result.cause);
            break;
        case ReorderOutcome::kWriteFailed:
            ShowError(ownerless,
                      N_("Error writing the new order. Code: %d. The file was left unchanged."),
                      result.cause);
            break;
        case ReorderOutcome::kWriteFailedInPlace:
            ShowError(ownerless, N_("Error writing file. Code: %d. The file may be incomplete."),
                      result.cause);
            break;
    }
}
