#pragma once

#include <QAbstractSpinBox>

#include <optional>

namespace corvane {

// A spin box for what a property list holds as a number: every 64-bit whole number, or a real shown in
// its shortest exact form, where QSpinBox stops at 32 bits and QDoubleSpinBox rounds to its decimals.
// The arrows and the Up and Down keys step by one.
class NumberSpinBox : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit NumberSpinBox(QWidget *parent = nullptr);
    using QAbstractSpinBox::lineEdit;

    void setInteger(qint64 value);
    void setReal(double value);
    bool isInteger() const { return m_integer; }
    // The number typed; nullopt while the text is none (empty, "-", out of range).
    std::optional<qint64> integer() const;
    std::optional<double> real() const;

    QValidator::State validate(QString &input, int &pos) const override;
    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;

private:
    bool m_integer = true;
};

} // namespace corvane
