#include "vatrates.h"

#include "common/amount.h"
#include "link/answers.h"

VatRates VatRates::decode(QByteArrayView b)
{
    VatRates r;
    for (int i = 0; i < 7; ++i)
        r.values[i] = le::u16(b, 3 * i + 1);
    return r;
}

QByteArray VatRates::encode() const
{
    QByteArray b(Size, '\0');
    for (int i = 0; i < 7; ++i) {
        b[3 * i] = char('A' + i);
        le::put16(b, 3 * i + 1, values[i]);
    }
    return b;
}

// 9999 (99,99 %) is accepted when saving, so it is shown as taxed too; only the values above it
// that mean nothing are shown as inactive.
VatRates::Choice VatRates::choiceOf(quint16 value)
{
    if (value == Exempt)
        return ExemptChoice;
    return value <= 9999 ? Taxed : InactiveChoice;
}

QString VatRates::rateText(quint16 value)
{
    if (choiceOf(value) != Taxed)
        return QStringLiteral("0.00");
    return amount::text(value).replace(u',', u'.');
}

Validated<VatRates> validateVatRates(const VatInput& in)
{
    VatRates r;
    for (int i = 0; i < 7; ++i) {
        switch (in.choices[i]) {
        case VatRates::InactiveChoice:
            r.values[i] = VatRates::Inactive;
            break;
        case VatRates::ExemptChoice:
            r.values[i] = VatRates::Exempt;
            break;
        case VatRates::Taxed: {
            QString text = in.rates[i];
            const qsizetype dot = text.indexOf(u'.');
            if (dot >= 0)
                text[dot] = u',';
            const auto value = text.contains(u'.') ? std::nullopt : amount::parse(text);
            if (!value || *value < 0 || *value > 9999)
                return Validated<VatRates>::fail(
                    {QStringLiteral("PTU_") + QChar(u'A' + i) + QStringLiteral("_O"),
                     QStringLiteral("Błędnie wypełnione pola!")});
            r.values[i] = quint16(*value);
            break;
        }
        }
    }
    return Validated<VatRates>::success(r);
}

QString vatSendMessage(int waitResult, int deviceError, bool confirmAtRegister)
{
    switch (waitResult) {
    case 0:
    case 3:
        return QStringLiteral("Zapisano stawki PTU.");
    case 1:
        return QStringLiteral("Ramka niepoprawna.");
    case 2:
        return QStringLiteral("Błąd kolejnosci ramek.");
    case 4:
        return confirmAtRegister ? QString()
                                 : QStringLiteral("Kasa nie potwierdziła zapisu stawek PTU.");
    case 5:
        return answers::deviceErrorMessage(deviceError);
    default:
        return QString();
    }
}
