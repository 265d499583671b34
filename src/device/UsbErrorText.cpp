// Texts of libusb-0.1 transfer results. The library returns negated errno values, and the
// numbers differ between systems (a time-out is -116 on Windows, -110 on Linux), so the table
// is keyed by the error's meaning and takes this system's numbers.
#include "device/LibUSB.h"

#include <cerrno>

namespace lum1 {

QString TLibUSB::ErrorText(int code) {
    struct TEntry {
        int Errno;
        const char16_t* Text;
    };
    static const TEntry table[] = {
        {ETIMEDOUT, u"Тайм-аут"},
        {EPERM, u"Операция запрещена"},
        {ENOENT, u"Нет такого файла или папки"},
        {ESRCH, u"Нет такого процесса"},
        {EINTR, u"Прерванный вызов функции"},
        {EIO, u"Ошибка ввода/вывода"},
        {ENXIO, u"Нет такого устройства или адреса"},
        {E2BIG, u"Слишком длинный список аргументов"},
        {ENOEXEC, u"Ошибка формата"},
        {EBADF, u"Неверный дескриптор"},
        {ECHILD, u"Нет порожденных процессов"},
        {EAGAIN, u"Ресурс временно недоступен"},
        {ENOMEM, u"Не хватает места"},
        {EACCES, u"Доступ запрещен"},
        {EFAULT, u"Неверный адрес"},
        {EBUSY, u"strerror reports \"Resource device\""},
        {EEXIST, u"Файл существует"},
        {EXDEV, u"Неправильная ссылка"},
        {ENODEV, u"Нет такого устройства"},
        {ENOTDIR, u"Нет такой папки"},
        {EISDIR, u"Is a directory"},
        {EINVAL, u"Неправильный аргумент"},
        {ENFILE, u"Слишком много открытых файлов в системе"},
        {EMFILE, u"Слишком много открытых файлов"},
        {ENOTTY, u"Неправильная операция ввода/вывода"},
        {EFBIG, u"Файл слишком велик"},
        {ENOSPC, u"Нет свободного места на устройстве"},
        {ESPIPE, u"Invalid seek (seek on a pipe?)"},
        {EROFS, u"Файловая система только для чтения"},
        {EMLINK, u"Слишком много ссылок"},
        {EPIPE, u"Обрыв в канале"},
        {EDOM, u"Domain error (math functions)"},
        {ERANGE, u"Результат слишком велик (или мал)"},
        {ENAMETOOLONG, u"Слишком длинное имя файла"},
        {ENOTEMPTY, u"Папка не пуста"},
    };
    if (code == 0)
        return {};
    for (const TEntry& e : table)
        if (code == -e.Errno)
            return QStringLiteral("LibUsb: ") + QString::fromUtf16(e.Text);
    return QStringLiteral("LibUsb: Error ") + QString::number(code);
}

} // namespace lum1
