#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace corvane {

// The area below the attributes list: the selected row's whole value.
class AttributeDetailArea : public QWidget {
    Q_OBJECT
public:
    explicit AttributeDetailArea(QWidget *parent = nullptr);

    QPlainTextEdit *textView() const { return m_text; }

    // Shows the text read-only, its start when it is very long.
    void showText(const QString &text);
    void clear();

private:
    QPlainTextEdit *m_text = nullptr;
};

} // namespace corvane
