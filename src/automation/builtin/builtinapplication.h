#pragma once
// The word processor built into the program: documents held in memory as
// Qt rich-text documents, shown in their own window when the application is
// made visible. One BuiltinApplication is one instance, as one process of an
// external word processor would be.

#include "automation/word.h"

namespace word::builtin {

class EngineState;

class BuiltinApplication : public Application, public std::enable_shared_from_this<BuiltinApplication> {
public:
    static std::shared_ptr<BuiltinApplication> create();
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

    // For tests and the engine's own window: the shared state of the instance.
    std::shared_ptr<EngineState> state() const { return m_state; }

private:
    BuiltinApplication();
    std::shared_ptr<EngineState> m_state;
};

} // namespace word::builtin
