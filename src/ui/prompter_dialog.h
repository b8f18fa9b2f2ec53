#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/prompter.h"

namespace vantor {

// The program's message boxes: an OK box or a Yes/No question with the caption given, owned by
// the active window (else by the fallback owner, when there is one).
class PrompterDialog : public Prompter {
public:
    explicit PrompterDialog(QWidget* fallbackOwner = nullptr);

    void SetFallbackOwner(QWidget* owner) { fallbackOwner_ = owner; }

    void ShowMessage(const std::u16string& text, const std::u16string& caption,
                     MessageIcon icon) override;
    bool AskYesNo(const std::u16string& text, const std::u16string& caption,
                  MessageIcon icon) override;

private:
    QWidget* Owner() const;

    QPointer<QWidget> fallbackOwner_;
};

}  // namespace vantor
