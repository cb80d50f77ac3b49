#pragma once

#include <QString>

// One registered reader: the five text columns of readerInfo.
struct Reader {
    QString number;      // 读者编号, the key
    QString name;        // 读者姓名
    QString sex;         // 读者性别, "男" or "女"
    QString telephone;   // 联系电话
    QString department;  // 所在部门

    // The most characters each text holds, as the reader window's boxes take
    // them; the department has no limit (0).
    static constexpr int kNumberLength = 3;
    static constexpr int kNameLength = 8;
    static constexpr int kSexLength = 2;
    static constexpr int kTelephoneLength = 12;
    static constexpr int kDepartmentLength = 0;
};
