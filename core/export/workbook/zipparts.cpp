#include "core/export/workbook/zipparts.h"

#include "core/app/filecause.h"

#include <QFile>
#include <QHash>
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <unzip.h>
#include <vector>
#include <zip.h>

namespace ZipParts {

namespace {

// A zip file held in memory while it is read or written: minizip seeks back
// over every entry it writes, and reading an entry seeks to it, so on a
// file each entry would cost several system calls.
struct Memory
{
    QByteArray data;
    qint64 at = 0;
};

voidpf openMemory(voidpf, const void *memory, int)
{
    static_cast<Memory *>(const_cast<void *>(memory))->at = 0;
    return const_cast<void *>(memory);
}

uLong readMemory(voidpf, voidpf stream, void *buffer, uLong size)
{
    Memory &m = *static_cast<Memory *>(stream);
    const qint64 n = std::clamp<qint64>(m.data.size() - m.at, 0, qint64(size));
    std::memcpy(buffer, m.data.constData() + m.at, size_t(n));
    m.at += n;
    return uLong(n);
}

uLong writeMemory(voidpf, voidpf stream, const void *buffer, uLong size)
{
    Memory &m = *static_cast<Memory *>(stream);
    if (m.at + qint64(size) > m.data.size())
        m.data.resize(m.at + qint64(size));
    std::memcpy(m.data.data() + m.at, buffer, size);
    m.at += qint64(size);
    return size;
}

ZPOS64_T tellMemory(voidpf, voidpf stream)
{
    return ZPOS64_T(static_cast<Memory *>(stream)->at);
}

long seekMemory(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    Memory &m = *static_cast<Memory *>(stream);
    const qint64 base = origin == ZLIB_FILEFUNC_SEEK_CUR   ? m.at
                        : origin == ZLIB_FILEFUNC_SEEK_END ? m.data.size()
                                                           : 0;
    const qint64 to = base + qint64(offset);
    if (to < 0 || to > m.data.size())
        return -1;
    m.at = to;
    return 0;
}

int closeMemory(voidpf, voidpf)
{
    return 0;
}

int memoryError(voidpf, voidpf)
{
    return 0;
}

zlib_filefunc64_def memoryFunctions()
{
    zlib_filefunc64_def f{};
    f.zopen64_file = openMemory;
    f.zread_file = readMemory;
    f.zwrite_file = writeMemory;
    f.ztell64_file = tellMemory;
    f.zseek64_file = seekMemory;
    f.zclose_file = closeMemory;
    f.zerror_file = memoryError;
    return f;
}

class Reader
{
public:
    explicit Reader(QByteArray data)
    {
        m_memory.data = std::move(data);
        zlib_filefunc64_def functions = memoryFunctions();
        m_file = unzOpen2_64(&m_memory, &functions);
    }
    // Goes to the entry of that name, through an index of the entries made
    // on the first call (minizip's own search reads every entry before it).
    bool find(const QByteArray &name)
    {
        if (!m_indexed) {
            m_indexed = true;
            int at = unzGoToFirstFile(m_file);
            for (; at == UNZ_OK; at = unzGoToNextFile(m_file)) {
                std::array<char, 512> entry{};
                unz64_file_pos pos{};
                if (unzGetCurrentFileInfo64(m_file, nullptr, entry.data(), uLong(entry.size() - 1),
                                            nullptr, 0, nullptr, 0) != UNZ_OK ||
                    unzGetFilePos64(m_file, &pos) != UNZ_OK)
                    return false;
                m_index.insert(QByteArray(entry.data()), pos);
            }
            if (at != UNZ_END_OF_LIST_OF_FILE)
                return false;
        }
        auto found = m_index.find(name);
        return found != m_index.end() && unzGoToFilePos64(m_file, &found.value()) == UNZ_OK;
    }
    ~Reader()
    {
        if (m_file)
            unzClose(m_file);
    }
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;
    unzFile handle() const { return m_file; }

private:
    Memory m_memory;
    unzFile m_file = nullptr;
    bool m_indexed = false;
    QHash<QByteArray, unz64_file_pos> m_index;
};

// Copies the current entry of `from` to `to` under `name`, as it is stored.
bool copyEntry(unzFile from, zipFile to, const QByteArray &name)
{
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(from, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    int method = 0;
    int level = 0;
    if (unzOpenCurrentFile2(from, &method, &level, 1) != UNZ_OK)
        return false;
    zip_fileinfo stamp{};
    stamp.tmz_date = {info.tmu_date.tm_sec,  info.tmu_date.tm_min, info.tmu_date.tm_hour,
                      info.tmu_date.tm_mday, info.tmu_date.tm_mon, info.tmu_date.tm_year};
    stamp.dosDate = info.dosDate;
    stamp.internal_fa = info.internal_fa;
    stamp.external_fa = info.external_fa;
    bool ok =
        zipOpenNewFileInZip2_64(to, name.constData(), &stamp, nullptr, 0, nullptr, 0, nullptr,
                                method, level, 1, info.uncompressed_size >= 0xffffffffu) == ZIP_OK;
    if (ok) {
        std::array<char, 1 << 16> buffer;
        for (;;) {
            const int read = unzReadCurrentFile(from, buffer.data(), unsigned(buffer.size()));
            if (read <= 0) {
                ok = read == 0;
                break;
            }
            if (zipWriteInFileInZip(to, buffer.data(), unsigned(read)) != ZIP_OK) {
                ok = false;
                break;
            }
        }
        ok = zipCloseFileInZipRaw64(to, info.uncompressed_size, info.crc) == ZIP_OK && ok;
    }
    return unzCloseCurrentFile(from) == UNZ_OK && ok;
}

} // namespace

bool merge(const std::vector<QByteArray> &archives, const QByteArray &target,
           const std::function<std::optional<Source>(const QByteArray &name)> &replace,
           QString *reason)
{
    std::vector<std::unique_ptr<Reader>> readers;
    qint64 size = 0;
    for (const QByteArray &path : archives) {
        QFile file(QFile::decodeName(path));
        QByteArray data;
        if (file.open(QIODevice::ReadOnly))
            data = file.readAll();
        size += data.size();
        readers.push_back(std::make_unique<Reader>(std::move(data)));
        if (!readers.back()->handle()) {
            *reason = QStringLiteral("ブックの部分を読めません。");
            return false;
        }
    }
    Memory joined;
    joined.data.reserve(size);
    zlib_filefunc64_def functions = memoryFunctions();
    zipFile out = zipOpen2_64(&joined, APPEND_STATUS_CREATE, nullptr, &functions);
    if (!out) {
        *reason = QStringLiteral("ブックの部分を一つにまとめられません。");
        return false;
    }
    bool ok = true;
    unzFile first = readers.front()->handle();
    int at = unzGoToFirstFile(first);
    for (; ok && at == UNZ_OK; at = unzGoToNextFile(first)) {
        std::array<char, 512> name{};
        ok = unzGetCurrentFileInfo64(first, nullptr, name.data(), uLong(name.size() - 1), nullptr,
                                     0, nullptr, 0) == UNZ_OK;
        if (!ok)
            break;
        const QByteArray entry(name.data());
        if (const std::optional<Source> source = replace(entry)) {
            Reader &from = *readers.at(size_t(source->archive));
            ok = from.find(source->name) && copyEntry(from.handle(), out, entry);
        } else {
            ok = copyEntry(first, out, entry);
        }
    }
    ok = ok && at == UNZ_END_OF_LIST_OF_FILE;
    ok = zipClose(out, nullptr) == ZIP_OK && ok;
    if (!ok) {
        *reason = QStringLiteral("ブックの部分を一つにまとめられません。");
        return false;
    }
    QFile file(QFile::decodeName(target));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(joined.data) != joined.data.size() || !file.flush()) {
        *reason = FileCause::ofFile(file);
        return false;
    }
    return true;
}

} // namespace ZipParts
