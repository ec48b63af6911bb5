#pragma once
// The word processor built into the program, as the automation interface
// drives it: one BuiltinApplication is one instance of the word processor,
// as one process of an external word processor would be; its documents are
// shown in the word processor's window when the application is made
// visible.

#include "automation/word.h"
#include "wordprocessor/instance.h"

namespace word::builtin {

class BuiltinApplication : public Application, public std::enable_shared_from_this<BuiltinApplication> {
public:
    static std::shared_ptr<BuiltinApplication> create();
    // An instance that makes files only: it never shows a window (see
    // wordprocessor::Instance::windowless).
    static std::shared_ptr<BuiltinApplication> createWindowless();
    ~BuiltinApplication() override;

    std::shared_ptr<Documents> documents() override;
    std::shared_ptr<Document> activeDocument() override;
    std::shared_ptr<Selection> selection() override;
    void setVisible(bool visible) override;
    bool visible() override;
    bool quit(int saveChanges = PromptToSaveChanges) override;
    void printOut(const QString& copies, bool background) override;
    bool running() const override;
    void setEndedHandler(std::function<void()> handler) override;
    void keepRecoveryCopies() override;

    // For tests: the word processor's instance.
    std::shared_ptr<wordprocessor::Instance> state() const { return m_state; }

private:
    explicit BuiltinApplication(bool windowless = false);
    std::shared_ptr<wordprocessor::Instance> m_state;
};

} // namespace word::builtin
