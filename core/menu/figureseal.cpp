#include "core/menu/figureseal.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtEndian>
#include <cmath>
#include <cstring>

namespace Menus {

namespace {

constexpr qsizetype keySize = 32;
constexpr qsizetype sealSize = 32; // HMAC over BLAKE2b-256

// The components in the order the figures list them: figures of another
// list never open.
QByteArray layout()
{
    static const QByteArray made = [] {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        hash.addData(QByteArrayView("zento figures 2"));
        for (const Components::Component &c : Components::all) {
            const QLatin1StringView name = c.inFoodRow() ? c.field : c.code;
            hash.addData(QByteArrayView(name.data(), name.size()));
            hash.addData(QByteArrayView(","));
        }
        return hash.result().left(8);
    }();
    return made;
}

QByteArray sealOf(qint64 dish, QByteArrayView payload, const QByteArray &key)
{
    QMessageAuthenticationCode mac(QCryptographicHash::Blake2b_256, key);
    const qint64 id = qToLittleEndian(dish);
    mac.addData(reinterpret_cast<const char *>(&id), sizeof id);
    mac.addData(payload.data(), payload.size());
    return mac.result();
}

class Writer
{
public:
    QByteArray bytes;
    void number(double value)
    {
        quint64 bits;
        std::memcpy(&bits, &value, sizeof bits);
        bits = qToLittleEndian(bits);
        bytes.append(reinterpret_cast<const char *>(&bits), sizeof bits);
    }
    void optional(const std::optional<double> &value) { number(value ? *value : std::nan("")); }
    void count(quint16 n)
    {
        n = qToLittleEndian(n);
        bytes.append(reinterpret_cast<const char *>(&n), sizeof n);
    }
    void text(const QString &s)
    {
        const QByteArray utf8 = s.toUtf8().left(0xffff);
        count(quint16(utf8.size()));
        bytes.append(utf8);
    }
};

class Reader
{
public:
    explicit Reader(QByteArrayView bytes)
        : m_bytes(bytes)
    {
    }
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_at == m_bytes.size(); }
    QByteArrayView take(qsizetype n)
    {
        if (!m_ok || n > m_bytes.size() - m_at) {
            m_ok = false;
            return {};
        }
        const QByteArrayView part = m_bytes.sliced(m_at, n);
        m_at += n;
        return part;
    }
    double number()
    {
        quint64 bits = 0;
        const QByteArrayView part = take(sizeof bits);
        if (!m_ok)
            return 0;
        std::memcpy(&bits, part.data(), sizeof bits);
        bits = qFromLittleEndian(bits);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isinf(value))
            m_ok = false; // no count ever gives an infinite sum
        return value;
    }
    std::optional<double> optional()
    {
        const double value = number();
        return std::isnan(value) ? std::nullopt : std::optional<double>(value);
    }
    quint16 count()
    {
        quint16 n = 0;
        const QByteArrayView part = take(sizeof n);
        if (m_ok)
            std::memcpy(&n, part.data(), sizeof n);
        return qFromLittleEndian(n);
    }
    QString text() { return QString::fromUtf8(take(count())); }

private:
    QByteArrayView m_bytes;
    qsizetype m_at = 0;
    bool m_ok = true;
};

} // namespace

QByteArray sealKey()
{
    static const QByteArray key = [] {
        const QString folder =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        if (folder.isEmpty())
            return QByteArray();
        const QString path = QDir(folder).filePath(QStringLiteral("zento/figures.key"));
        QFile kept(path);
        if (kept.open(QIODevice::ReadOnly)) {
            const QByteArray read = kept.read(keySize + 1);
            return read.size() == keySize ? read : QByteArray();
        }
        if (QFile::exists(path) || !QDir().mkpath(QFileInfo(path).absolutePath()))
            return QByteArray();
        QByteArray made(keySize, Qt::Uninitialized);
        QRandomGenerator::system()->generate(made.begin(), made.end());
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
            file.write(made) != keySize || !file.commit())
            return QByteArray();
        return made;
    }();
    return key;
}

QByteArray sealFigures(qint64 dish, const DishFigures &figures, const QByteArray &key)
{
    // The foods a sum leaves out are few per dish and the same in many
    // components: each name is written once and the components point at it.
    const DishComponents::Totals &a = figures.amounts;
    QStringList names;
    QHash<QString, quint16> indexOf;
    for (const QStringList &unknown : a.unknownFoods)
        for (const QString &name : unknown)
            if (!indexOf.contains(name) && names.size() < 0xffff) {
                indexOf.insert(name, quint16(names.size()));
                names << name;
            }
    Writer out;
    out.bytes = layout();
    out.text(figures.name);
    out.number(figures.servings);
    out.number(a.grams);
    out.optional(a.energyProtein);
    out.optional(a.energyFat);
    out.count(quint16(names.size()));
    for (const QString &name : names)
        out.text(name);
    for (int i = 0; i < Components::count; ++i) {
        out.optional(a.sums[size_t(i)]);
        QList<quint16> unknown;
        for (const QString &name : a.unknownFoods[size_t(i)])
            if (indexOf.contains(name))
                unknown << indexOf.value(name);
        out.count(quint16(unknown.size()));
        for (quint16 at : unknown)
            out.count(at);
    }
    for (double grams : figures.groupGrams)
        out.number(grams);
    return out.bytes + sealOf(dish, out.bytes, key);
}

std::optional<DishFigures> openFigures(qint64 dish, const QByteArray &sealed, const QByteArray &key)
{
    if (key.isEmpty() || sealed.size() < sealSize)
        return std::nullopt;
    const QByteArrayView payload = QByteArrayView(sealed).chopped(sealSize);
    // The seal first: nothing of a file's own making is read further.
    if (sealOf(dish, payload, key) != sealed.right(sealSize))
        return std::nullopt;
    Reader in(payload);
    if (in.take(8) != layout())
        return std::nullopt;
    DishFigures figures;
    figures.name = in.text();
    figures.servings = in.number();
    DishComponents::Totals &a = figures.amounts;
    a.grams = in.number();
    a.energyProtein = in.optional();
    a.energyFat = in.optional();
    QStringList names;
    const int nameCount = in.count();
    for (int n = 0; n < nameCount && in.ok(); ++n)
        names << in.text();
    for (int i = 0; i < Components::count && in.ok(); ++i) {
        a.sums[size_t(i)] = in.optional();
        const int unknown = in.count();
        a.unknownFoods[size_t(i)].reserve(std::min(unknown, int(names.size())));
        for (int f = 0; f < unknown && in.ok(); ++f) {
            const int at = in.count();
            if (at >= names.size())
                return std::nullopt;
            a.unknownFoods[size_t(i)] << names[at];
        }
    }
    for (double &grams : figures.groupGrams)
        grams = in.number();
    if (!in.ok() || !in.atEnd() || std::isnan(a.grams) || !(figures.servings > 0))
        return std::nullopt;
    return figures;
}

} // namespace Menus
