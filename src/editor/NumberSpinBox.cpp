#include "editor/NumberSpinBox.h"

#include <QLineEdit>
#include <QLocale>

#include <cmath>
#include <limits>

namespace corvane {

namespace {
// Typed and shown in the user's locale, without group separators, which typing would not give.
QLocale numberLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}
} // namespace

NumberSpinBox::NumberSpinBox(QWidget *parent)
    : QAbstractSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
}

void NumberSpinBox::setInteger(qint64 value)
{
    m_integer = true;
    lineEdit()->setText(numberLocale().toString(value));
}

void NumberSpinBox::setReal(double value)
{
    m_integer = false;
    lineEdit()->setText(numberLocale().toString(value, 'g', QLocale::FloatingPointShortest));
}

std::optional<qint64> NumberSpinBox::integer() const
{
    bool ok = false;
    const qint64 value = numberLocale().toLongLong(text(), &ok);
    return ok ? std::optional(value) : std::nullopt;
}

std::optional<double> NumberSpinBox::real() const
{
    bool ok = false;
    const double value = numberLocale().toDouble(text(), &ok);
    return ok ? std::optional(value) : std::nullopt;
}

QValidator::State NumberSpinBox::validate(QString &input, int &) const
{
    bool ok = false;
    if (m_integer)
        numberLocale().toLongLong(input, &ok);
    else
        numberLocale().toDouble(input, &ok);
    if (ok)
        return QValidator::Acceptable;
    // Room for a number on its way: a sign, a decimal point, an exponent not yet written.
    const QLocale locale = numberLocale();
    const QString allowed = m_integer ? QStringLiteral("+-")
                                      : QStringLiteral("+-eE") + locale.decimalPoint() + locale.exponential();
    for (QChar c : std::as_const(input)) {
        if (!c.isDigit() && !allowed.contains(c))
            return QValidator::Invalid;
    }
    return input.size() <= 64 ? QValidator::Intermediate : QValidator::Invalid;
}

void NumberSpinBox::stepBy(int steps)
{
    if (m_integer) {
        const std::optional<qint64> value = integer();
        qint64 stepped = 0;
        if (value && !__builtin_add_overflow(*value, qint64(steps), &stepped))
            setInteger(stepped);
    } else if (const std::optional<double> value = real(); value && std::isfinite(*value)) {
        setReal(*value + steps);
    }
    selectAll();
}

QAbstractSpinBox::StepEnabled NumberSpinBox::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    if (m_integer) {
        const std::optional<qint64> value = integer();
        if (!value)
            return StepNone;
        StepEnabled enabled = StepNone;
        if (*value < std::numeric_limits<qint64>::max())
            enabled |= StepUpEnabled;
        if (*value > std::numeric_limits<qint64>::min())
            enabled |= StepDownEnabled;
        return enabled;
    }
    const std::optional<double> value = real();
    return value && std::isfinite(*value) ? (StepUpEnabled | StepDownEnabled) : StepNone;
}

} // namespace corvane
