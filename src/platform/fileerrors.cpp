#include "platform/fileerrors.h"

#include <cerrno>
#include <cstring>

namespace platform {

QString fileErrorText(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("磁盘空间不足");
    case EFBIG:
        return QStringLiteral("文件超出了允许的大小");
    case EACCES:
    case EPERM:
        return QStringLiteral("没有写入的权限");
    case EROFS:
        return QStringLiteral("磁盘是只读的");
    case ENOTDIR:
        return QStringLiteral("路径中有一个同名的文件挡住了文件夹");
    case ENOENT:
        return QStringLiteral("文件或文件夹不存在");
    case EIO:
        return QStringLiteral("磁盘读写出错");
    default:
        return QString::fromLocal8Bit(std::strerror(errorNumber));
    }
}

} // namespace platform
