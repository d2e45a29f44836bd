#pragma once

#include "window/MainWindow.h"

#include <QPointer>

#include <memory>

class QPlainTextEdit;

namespace Ui {
class ScratchpadWindow;
}

namespace corvane {

class ScratchpadText;

// A scratchpad window: free text that belongs to the application, not to the window.
//
// The one copy of the text is a ScratchpadText, given to the window by whoever makes it. A window takes
// it each time it appears and hands its own text back when it is about to disappear; the text handed
// back is then given to every scratchpad window opened so far. The font size is per window, read from
// the preferences when the window is made and written there on every step. Its Edit menu acts on the
// text (Qt's SDI example), its View menu steps the font size.
class ScratchpadWindow : public MainWindow {
    Q_OBJECT
public:
    static constexpr double defaultFontSize = 12.0;
    static constexpr double fontSizeStep = 1.0;
    static constexpr double smallestFontSize = 4.0;
    static constexpr double largestFontSize = 24.0;
    // Sizes above the range are kept until the next step, but not absurd ones a hand-edited settings
    // file may hold: glyphs thousands of points tall would take the window down with them.
    static constexpr double largestStoredFontSize = 144.0;

    ScratchpadWindow(ApplicationActions &actions, ScratchpadText &shared, QWidget *parent = nullptr);
    ~ScratchpadWindow() override;

    double fontSize() const { return m_fontSize; }
    QPlainTextEdit *textEdit() const;
    QString text() const;
    void setText(const QString &text); // replaces the text, keeps the font size

    // The working size for a stored one: anything below the range (absence included) is the default.
    static double fontSizeFromStored(double stored);

    // Gives the window's text to the application, and so to every scratchpad.
    void handBack();
    // Orders the moments the user last typed into any scratchpad; 0 when never since the window was made.
    quint64 lastEditStamp() const { return m_lastEdit; }

public slots:
    void zoomIn();
    void zoomOut();

protected:
    void appeared() override;
    void disappearing() override;

private:
    void createActions();
    void applyFontSize();
    void storeFontSize();

    std::unique_ptr<Ui::ScratchpadWindow> m_ui;
    QPointer<ScratchpadText> m_shared;
    double m_fontSize = defaultFontSize;
    bool m_settingText = false;
    quint64 m_lastEdit = 0;
};

} // namespace corvane
