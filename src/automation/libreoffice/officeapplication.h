#pragma once
// The LibreOffice engine: every application object is a LibreOffice Writer
// of its own, driven over UNO. Callers see only word::Application.

#include "automation/word.h"

#include <memory>

namespace word::libreoffice {

class EngineState;

class OfficeApplication : public Application {
public:
    // Starts LibreOffice (with a progress indication when it takes a while);
    // raises AutomationError when it is not installed or does not start.
    static std::shared_ptr<OfficeApplication> create();
    ~OfficeApplication() override;

    std::shared_ptr<Documents> documents() override;
    std::shared_ptr<Document> activeDocument() override;
    std::shared_ptr<Selection> selection() override;
    void setVisible(bool visible) override;
    bool visible() override;
    bool quit(int saveChanges = PromptToSaveChanges) override;
    void printOut(const QString& copies, bool background) override;
    bool running() const override;
    void setEndedHandler(std::function<void()> handler) override;
    QString handOver() override;
    void keepRecoveryCopies() override;
    QString takeEndNote() override;

    // The office's process group (for tests that kill it), or 0.
    qint64 processId() const;
    // What the instance holds (for tests that act as the user in Writer).
    const std::shared_ptr<EngineState>& state() const { return m_state; }

private:
    explicit OfficeApplication(std::shared_ptr<EngineState> state);
    std::shared_ptr<EngineState> m_state;
};

// Whether LibreOffice is installed where the engine looks for it.
bool libreOfficeInstalled();
// Starts a LibreOffice ahead of need, for the next instance to take (see
// spareoffice.h); ends one nobody took.
void startLibreOfficeAhead();
void endLibreOfficeStartedAhead();
bool libreOfficeReadyAhead();

} // namespace word::libreoffice
