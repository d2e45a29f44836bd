#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>

class QPlainTextEdit;

namespace Ui {
class ScratchpadWindow;
}

namespace corvane {

class ScratchpadText;

// The content of a scratchpad window: free text that belongs to the application, not to the window.
//
// The one copy of the text is a ScratchpadText, handed to the view by whoever makes it. A view takes it
// each time its window appears and hands its own text back when the window is about to disappear; the
// text handed back is then given to every scratchpad window opened so far. The font size is per window, read
// from the preferences when the view is made and written there on every step.
class ScratchpadView : public QWidget {
    Q_OBJECT
public:
    static constexpr double defaultFontSize = 12.0;
    static constexpr double fontSizeStep = 1.0;
    static constexpr double smallestFontSize = 4.0;
    static constexpr double largestFontSize = 24.0;
    // Sizes above the range are kept until the next step, but not absurd ones a hand-edited settings
    // file may hold: glyphs thousands of points tall would take the window down with them.
    static constexpr double largestStoredFontSize = 144.0;

    explicit ScratchpadView(QWidget *parent = nullptr);
    ~ScratchpadView() override;

    double fontSize() const { return theFontSize; }
    QPlainTextEdit *scratchpadContents() const;
    QString text() const;
    void setText(const QString &text); // replaces the text, keeps the font size

    void setSharedText(ScratchpadText *shared); // not owned

    // The working size for a stored one: anything below the range (absence included) is the default.
    static double fontSizeFromStored(double stored);

    void viewDidAppear();
    void viewWillDisappear();

    // Orders the moments the user last typed into any scratchpad; 0 when never since the view was made.
    quint64 lastEditStamp() const { return myLastEdit; }

public slots:
    void incFontSize();
    void decFontSize();

protected:
    bool event(QEvent *event) override;

private:
    void viewDidLoad();
    void attachToWindow();
    void applyFontSize();
    void storeFontSize();

    std::unique_ptr<Ui::ScratchpadWindow> m_ui;
    QPointer<ScratchpadText> myShared;
    double theFontSize = defaultFontSize;
    bool mySettingText = false;
    bool myAttached = false;
    quint64 myLastEdit = 0;
};

} // namespace corvane
