// Articles: programming ("T", 78 bytes from a DUNO BIS, 77 from a DUNO) and deletion ("0").
// The table read is the one every table shares (registermodel_tables.cpp).
#include "registermodel.h"

#include "registermodel_p.h"

namespace emu {

bool RegisterModel::vatProgrammed(char letter) const
{
    if (letter < 'A' || letter > 'G')
        return false;
    return u16At(m_vat, (letter - 'A') * 3 + 1) != 0xFFFE;
}

QList<Reply> RegisterModel::programArticle(const Request& r)
{
    // Record bytes 0-1 number, 2-43 name, 44 VAT letter, 45-48 price, 49-61 barcode digits,
    // 62 group, 63 tandem packaging, 64 fixed price, 65 whole quantities, 66 halo index,
    // 67 unit (only in the 78-byte frame); the image keeps sales at 49-56, the barcode at
    // 57-69, bytes 62-66 at 70-74 and the last sale at 75.
    const QByteArrayView data = r.data;
    const bool fullArticle = data.size() == 69; // 78-byte frame with the unit byte
    const int n = int(u16At(data, 0));
    if (n < 1 || n > 2000)
        return error(ErrArticleNumber);
    if (!vatProgrammed(data[44]))
        return error(ErrVat);
    for (int i = 49; i < 62; ++i)
        if (data[i] < '0' || data[i] > '9')
            return error(ErrBarcode);
    const int group = uint8_t(data[62]);
    if (group < 1 || group > 20 || image(Groups, group)[0] == 0)
        return error(ErrGroup);
    const int tandem = uint8_t(data[63]);
    if (tandem > 20 || (tandem > 0 && image(Packaging, tandem)[0] == 0))
        return error(ErrPackagingRef);
    if (uint8_t(data[64]) > 1)
        return error(ErrFixedPrice);
    if (uint8_t(data[65]) > 1)
        return error(ErrWholeQuantity);
    if (uint8_t(data[66]) > 9)
        return error(ErrHaloIndex);
    if (findName(Articles, trimmedName(data.sliced(2, 42)), n))
        return error(ErrArticleName);
    QByteArray& img = slot(Articles, n);
    const bool fresh = img[0] == 0 && img[1] == 0;
    img.replace(0, 49, data.first(49).toByteArray());
    img.replace(57, 13, data.sliced(49, 13).toByteArray());
    img.replace(70, 5, data.sliced(62, 5).toByteArray());
    if (fresh) {
        img.replace(49, 8, QByteArray(8, '\0'));
        putNever(img, 75);
    }
    if (m_model == Model::DunoBis)
        img[81] = fullArticle ? data[67] : char(0);
    return ack(r.seq);
}

QList<Reply> RegisterModel::deleteArticle(const Request& r)
{
    // Number, and the name in 42 bytes. An article that has sold stays.
    uint8_t refusal = 0;
    const int n = recordToDelete(Articles, r.data, 42, refusal);
    if (n == 0)
        return error(refusal);
    QByteArray& img = slot(Articles, n);
    if (!isZero(QByteArrayView(img).sliced(49, 8)))
        return error(ErrArticleSales);
    img.fill('\0');
    return ack(r.seq);
}

} // namespace emu
