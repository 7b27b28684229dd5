#pragma once
// A recorder of the room's modal message boxes for the room tests.

#include <QString>

#include <functional>
#include <vector>

#include "platform/window/Dialog.h"
#include "ui/CDlgPopMsg.h"

namespace room_test {

// Keeps the text, type and countdown of every message box shown modally while it lives. Each
// box is handed to `whileOpen` (when set) and then ended with `answer`, unless `whileOpen`
// closes it by itself (`whileOpenCloses`).
class ModalBoxes {
public:
    explicit ModalBoxes(int answer = IDOK) {
        token_ = yav::Dialog::AddModalObserver([this, answer](yav::Dialog& dialog) {
            auto* box = dynamic_cast<CDlgPopMsg*>(&dialog);
            if (box == nullptr) {
                return;
            }
            texts.push_back(box->GetMessageLabel().GetWindowText());
            types.push_back(box->GetType());
            countdowns.push_back(box->GetCountdown());
            if (whileOpen) {
                whileOpen(*box);
            }
            if (!whileOpen || !whileOpenCloses) {
                box->EndDialog(answer);
            }
        });
    }
    ~ModalBoxes() { yav::Dialog::RemoveModalObserver(token_); }
    ModalBoxes(const ModalBoxes&) = delete;
    ModalBoxes& operator=(const ModalBoxes&) = delete;

    std::vector<QString> texts;
    std::vector<int> types;
    std::vector<int> countdowns;
    std::function<void(CDlgPopMsg&)> whileOpen;
    bool whileOpenCloses = false;

private:
    int token_ = 0;
};

}  // namespace room_test
