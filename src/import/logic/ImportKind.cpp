#include "import/logic/ImportKind.h"

namespace ImportKind {

QStringList fields(Kind kind)
{
    if (kind == Kind::Books)
        return {QStringLiteral("书籍编号"), QStringLiteral("书籍名称"), QStringLiteral("类别代码"),
                QStringLiteral("出版社"),   QStringLiteral("作者姓名"), QStringLiteral("书籍价格"),
                QStringLiteral("书籍页码"), QStringLiteral("登记日期")};
    return {QStringLiteral("读者编号"), QStringLiteral("读者姓名"), QStringLiteral("读者性别"),
            QStringLiteral("联系电话"), QStringLiteral("所在部门")};
}

QString noun(Kind kind)
{
    return kind == Kind::Books ? QStringLiteral("图书") : QStringLiteral("读者");
}

}  // namespace ImportKind
