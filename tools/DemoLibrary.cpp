#include "DemoLibrary.h"

#include <QList>
#include <QSet>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <algorithm>

#include "Dice.h"
#include "core/logic/Conversions.h"
#include "core/logic/Sql.h"
#include "core/logic/Transaction.h"

// The demo library is made by playing the desk forward: books are registered
// over the past years, then for some months readers borrow and bring back
// books day by day under the lending rules in basicSet. What is still out at
// the end is outstanding (some of it overdue); what came back carries its
// overdue days and fine as the return desk would have stored them. A fixed
// seed makes every run give the same library for the same day.

namespace DemoLibrary {

namespace {

const QString kAction = QStringLiteral("写入演示数据");
constexpr quint64 kSeed = 0x5368656C664D61ull;
// How many days of lending are played before `today`.
constexpr int kLendingDays = 270;

QStringList words(const char* text)
{
    return QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// A title with its author; an empty author is made up from the name lists.
struct Title {
    const char* title;
    const char* author;
};

struct Category {
    const char* code;
    const char* name;
    int loanDays;
    int copies;              // books of this category in the demo
    int lowPrice, highPrice; // whole yuan
    int lowPages, highPages;
    const char* publishers;  // blank-separated, all from kPublishers
    QList<Title> titles;
};

const char* const kPublishers =
    "人民文学出版社 商务印书馆 中华书局 清华大学出版社 机械工业出版社 人民邮电出版社 电子工业出版社 "
    "高等教育出版社 北京大学出版社 上海古籍出版社 上海译文出版社 译林出版社 生活·读书·新知三联书店 "
    "作家出版社 中信出版社 科学出版社 人民卫生出版社 中国人民大学出版社 外语教学与研究出版社 "
    "浙江文艺出版社 长江文艺出版社 湖南文艺出版社 上海人民出版社 人民出版社 少年儿童出版社 "
    "二十一世纪出版社 接力出版社 中国社会科学出版社 广西师范大学出版社 华东师范大学出版社 "
    "复旦大学出版社 浙江大学出版社 中国财政经济出版社 经济科学出版社 人民美术出版社 人民音乐出版社 "
    "中国建筑工业出版社 化学工业出版社 中国医药科技出版社 中国中医药出版社 岳麓书社 上海辞书出版社 "
    "中国大百科全书出版社 中国地图出版社 湖南科学技术出版社";

const QList<Category>& categories()
{
    static const QList<Category> list = {
        {"A", "文学", 30, 45, 18, 68, 180, 760,
         "人民文学出版社 上海译文出版社 译林出版社 作家出版社 浙江文艺出版社 长江文艺出版社 湖南文艺出版社",
         {{"红楼梦", "曹雪芹"}, {"三国演义", "罗贯中"}, {"水浒传", "施耐庵"}, {"西游记", "吴承恩"},
          {"呐喊", "鲁迅"}, {"朝花夕拾", "鲁迅"}, {"骆驼祥子", "老舍"}, {"四世同堂", "老舍"},
          {"围城", "钱钟书"}, {"边城", "沈从文"}, {"家", "巴金"}, {"子夜", "茅盾"},
          {"雷雨", "曹禺"}, {"平凡的世界", "路遥"}, {"活着", "余华"}, {"白鹿原", "陈忠实"},
          {"城南旧事", "林海音"}, {"尘埃落定", "阿来"}, {"长恨歌", "王安忆"}, {"倾城之恋", "张爱玲"},
          {"百年孤独", "加西亚·马尔克斯"}, {"傲慢与偏见", "简·奥斯汀"}, {"老人与海", "海明威"},
          {"悲惨世界", "雨果"}, {"战争与和平", "列夫·托尔斯泰"}, {"唐诗三百首", "蘅塘退士"}}},
        {"B", "历史", 30, 30, 28, 98, 240, 880,
         "中华书局 上海古籍出版社 生活·读书·新知三联书店 人民出版社 中国社会科学出版社 广西师范大学出版社 岳麓书社",
         {{"史记", "司马迁"}, {"资治通鉴", "司马光"}, {"汉书", "班固"}, {"三国志", "陈寿"},
          {"万历十五年", "黄仁宇"}, {"国史大纲", "钱穆"}, {"中国历代政治得失", "钱穆"},
          {"中国通史", "吕思勉"}, {"中国近代史", "蒋廷黻"}, {"乡土中国", "费孝通"},
          {"全球通史", "斯塔夫里阿诺斯"}, {"明朝那些事儿", "当年明月"}, {"宋代的城市生活", ""},
          {"丝绸之路简史", ""}, {"中国古代服饰研究", "沈从文"}, {"唐代政治史述论稿", "陈寅恪"}}},
        {"C", "计算机", 45, 40, 39, 129, 260, 980,
         "清华大学出版社 机械工业出版社 人民邮电出版社 电子工业出版社 高等教育出版社",
         {{"C程序设计", ""}, {"数据结构（C语言版）", ""}, {"操作系统原理", ""}, {"计算机网络", ""},
          {"数据库系统概论", ""}, {"编译原理", ""}, {"计算机组成原理", ""}, {"离散数学", ""},
          {"算法导论", "托马斯·科尔曼"}, {"Python编程从入门到实践", ""}, {"Java程序设计教程", ""},
          {"Linux系统管理", ""}, {"软件工程", ""}, {"人工智能导论", ""}, {"机器学习", ""},
          {"网页设计与制作", ""}, {"计算机应用基础", ""}, {"深入理解计算机系统", ""},
          {"C++程序设计", ""}, {"SQL数据库应用", ""}}},
        {"D", "经济管理", 30, 30, 29, 89, 220, 720,
         "中信出版社 中国人民大学出版社 北京大学出版社 中国财政经济出版社 经济科学出版社 机械工业出版社",
         {{"经济学原理", "曼昆"}, {"国富论", "亚当·斯密"}, {"管理学", ""}, {"会计学基础", ""},
          {"财务管理", ""}, {"市场营销学", ""}, {"统计学", ""}, {"货币银行学", ""},
          {"微观经济学", ""}, {"宏观经济学", ""}, {"组织行为学", ""}, {"人力资源管理", ""},
          {"审计学", ""}, {"税法", ""}, {"中国经济史", ""}}},
        {"E", "哲学宗教", 60, 20, 22, 78, 160, 640,
         "商务印书馆 中华书局 上海人民出版社 华东师范大学出版社 生活·读书·新知三联书店",
         {{"论语译注", "杨伯峻"}, {"孟子译注", "杨伯峻"}, {"老子今注今译", "陈鼓应"},
          {"庄子今注今译", "陈鼓应"}, {"中国哲学简史", "冯友兰"}, {"西方哲学史", "罗素"},
          {"理想国", "柏拉图"}, {"沉思录", "马可·奥勒留"}, {"传习录", "王阳明"},
          {"中国哲学史大纲", "胡适"}, {"苏菲的世界", "乔斯坦·贾德"}, {"中国佛教史", ""}}},
        {"F", "艺术", 30, 20, 32, 168, 120, 420,
         "人民美术出版社 人民音乐出版社 中国建筑工业出版社 生活·读书·新知三联书店",
         {{"美的历程", "李泽厚"}, {"谈美", "朱光潜"}, {"艺术的故事", "贡布里希"},
          {"中国建筑史", "梁思成"}, {"中国绘画史", ""}, {"西方美术史", ""}, {"书法入门", ""},
          {"素描基础教程", ""}, {"中国音乐史", ""}, {"基本乐理", ""}, {"摄影构图", ""}, {"色彩构成", ""}}},
        {"G", "自然科学", 45, 30, 26, 88, 200, 760,
         "科学出版社 高等教育出版社 湖南科学技术出版社 化学工业出版社 复旦大学出版社 浙江大学出版社",
         {{"时间简史", "霍金"}, {"物种起源", "达尔文"}, {"从一到无穷大", "伽莫夫"},
          {"寂静的春天", "蕾切尔·卡森"}, {"高等数学", ""}, {"线性代数", ""}, {"概率论与数理统计", ""},
          {"普通物理学", ""}, {"无机化学", ""}, {"有机化学", ""}, {"普通生物学", ""},
          {"自然地理学", ""}, {"天文学导论", ""}, {"趣味数学", ""}, {"植物学", ""}}},
        {"H", "医药卫生", 30, 25, 25, 138, 180, 960,
         "人民卫生出版社 中国医药科技出版社 中国中医药出版社 科学出版社",
         {{"内科学", ""}, {"外科学", ""}, {"生理学", ""}, {"病理学", ""}, {"药理学", ""},
          {"诊断学", ""}, {"中医基础理论", ""}, {"黄帝内经", "佚名"}, {"本草纲目", "李时珍"},
          {"家庭医生手册", ""}, {"营养与健康", ""}, {"急救常识", ""}, {"护理学基础", ""}, {"针灸学", ""}}},
        {"I", "少儿读物", 14, 35, 12, 36, 60, 240,
         "少年儿童出版社 二十一世纪出版社 接力出版社 浙江文艺出版社 人民文学出版社",
         {{"十万个为什么", ""}, {"安徒生童话", "安徒生"}, {"格林童话", "格林兄弟"},
          {"小王子", "圣埃克苏佩里"}, {"草房子", "曹文轩"}, {"青铜葵花", "曹文轩"}, {"稻草人", "叶圣陶"},
          {"小兵张嘎", "徐光耀"}, {"夏洛的网", "E.B.怀特"}, {"窗边的小豆豆", "黑柳彻子"},
          {"皮皮鲁传", "郑渊洁"}, {"大林和小林", "张天翼"}, {"宝葫芦的秘密", "张天翼"},
          {"中国神话故事", ""}, {"成语故事", ""}}},
        {"J", "工具书", 14, 25, 19, 198, 400, 1800,
         "商务印书馆 上海辞书出版社 中国大百科全书出版社 外语教学与研究出版社 中国地图出版社",
         {{"新华字典", "中国社会科学院语言研究所"}, {"现代汉语词典", "中国社会科学院语言研究所"},
          {"辞海", "辞海编辑委员会"}, {"古汉语常用字字典", ""}, {"英汉大词典", ""},
          {"牛津高阶英汉双解词典", "霍恩比"}, {"成语大词典", ""}, {"唐诗鉴赏辞典", ""},
          {"说文解字", "许慎"}, {"中国历史地图集", "谭其骧"}, {"世界地图册", ""}, {"中国大百科全书", ""}}},
    };
    return list;
}

// Names: a surname and a given name. The given names are split by sex so a
// reader's name fits the sex on record.
const char* const kSurnames = "王 李 张 刘 陈 杨 赵 黄 周 吴 徐 孙 胡 朱 高 林 何 郭 马 罗 梁 宋 郑 谢 韩 唐 冯 于 董 萧";
const char* const kMaleNames = "伟 强 磊 军 洋 勇 杰 涛 明 超 建国 志强 国华 文斌 海峰 晓东 子轩 宇航 振华 俊杰";
const char* const kFemaleNames = "芳 娜 敏 静 丽 艳 娟 霞 婷 雪 秀英 晓燕 丽华 玉兰 美玲 雅琴 思雨 欣怡 佳慧 梦瑶";
const char* const kDepartments = "办公室 财务处 教务处 人事处 后勤处 学生处 科研处 保卫处 信息中心 图书馆 工会 团委";
const char* const kMobilePrefixes = "133 135 136 137 138 139 150 151 158 186 187 189";

struct BookPlan {
    QString title, author, publisher, price, pages, categoryCode;
    int loanDays = 0;
    QDate registered;
    QString number;  // given in order of registration
    bool lent = false;
};

struct ReaderPlan {
    QString number, name, sex, phone, department;
};

struct LoanPlan {
    int reader = 0;
    int book = 0;
    QDate lent;
    QDate due;       // the day the reader will bring it back
    QDate returned;  // invalid while outstanding
    int overdueDays = 0;
    double fine = 0;
};

QString madeUpName(Dice& dice, bool male)
{
    return dice.pick(words(kSurnames)) + dice.pick(words(male ? kMaleNames : kFemaleNames));
}

QString priceText(Dice& dice, int low, int high)
{
    static const QList<int> kCents = {0, 0, 0, 50, 80};
    const int cents = dice.between(low, high) * 100 + dice.pick(kCents);
    return QString::number(cents / 100.0, 'f', 2);
}

// Most books came years ago; some arrived during the lending months.
QDate registrationDate(Dice& dice, const QDate& today)
{
    if (dice.chance(12))
        return today.addDays(-dice.between(30, kLendingDays));
    return today.addDays(-dice.between(kLendingDays + 10, 6 * 365));
}

QList<BookPlan> planBooks(Dice& dice, const QDate& today)
{
    QList<BookPlan> books;
    for (const Category& category : categories()) {
        QList<BookPlan> editions;  // one per title; further copies repeat it
        for (const Title& title : category.titles) {
            BookPlan plan;
            plan.title = QString::fromUtf8(title.title);
            plan.author = *title.author ? QString::fromUtf8(title.author) : madeUpName(dice, dice.chance(60));
            plan.publisher = dice.pick(words(category.publishers));
            plan.price = priceText(dice, category.lowPrice, category.highPrice);
            plan.pages = QString::number(dice.between(category.lowPages, category.highPages));
            plan.categoryCode = QString::fromUtf8(category.code);
            plan.loanDays = category.loanDays;
            editions.append(plan);
        }
        for (int copy = 0; copy < category.copies; ++copy) {
            BookPlan plan = editions.at(copy % editions.size());
            plan.registered = registrationDate(dice, today);
            books.append(plan);
        }
    }
    // Book numbers follow the order in which the books were registered.
    std::stable_sort(books.begin(), books.end(),
                     [](const BookPlan& a, const BookPlan& b) { return a.registered < b.registered; });
    for (int i = 0; i < books.size(); ++i)
        books[i].number = QStringLiteral("B%1").arg(i + 1, 4, 10, QLatin1Char('0'));
    return books;
}

QString phoneNumber(Dice& dice)
{
    if (dice.chance(30))
        return QStringLiteral("0571-8%1").arg(dice.between(0, 999999), 6, 10, QLatin1Char('0'));
    return dice.pick(words(kMobilePrefixes))
           + QStringLiteral("%1").arg(dice.between(0, 99999999), 8, 10, QLatin1Char('0'));
}

QList<ReaderPlan> planReaders(Dice& dice, int count)
{
    QList<ReaderPlan> readers;
    QSet<QString> names;
    for (int i = 1; i <= count; ++i) {
        ReaderPlan reader;
        const bool male = dice.chance(50);
        do
            reader.name = madeUpName(dice, male);
        while (names.contains(reader.name));
        names.insert(reader.name);
        reader.number = QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
        reader.sex = male ? QStringLiteral("男") : QStringLiteral("女");
        reader.phone = phoneNumber(dice);
        reader.department = dice.pick(words(kDepartments));
        readers.append(reader);
    }
    return readers;
}

// Lending rules as the desk applies them.
struct Rules {
    int quota = 2;
    double finePerDay = 0.1;
};

void bringBack(LoanPlan& loan, const BookPlan& book, const Rules& rules)
{
    loan.returned = loan.due;
    loan.overdueDays = std::max(0, int(loan.lent.daysTo(loan.returned)) - book.loanDays);
    // Stored as the desk shows it, so 3 days at 0.1 is 0.3 and not 0.30000000000000004.
    loan.fine = Conversions::numberText(rules.finePerDay * loan.overdueDays).toDouble();
}

class Desk {
public:
    Desk(QList<BookPlan>& books, int readerCount, const Rules& rules)
        : m_books(books), m_held(readerCount, 0), m_open(books.size(), -1), m_rules(rules)
    {
    }

    void returnsOn(const QDate& day)
    {
        for (LoanPlan& loan : m_loans) {
            if (loan.returned.isValid() || loan.due != day)
                continue;
            bringBack(loan, m_books.at(loan.book), m_rules);
            --m_held[loan.reader];
            m_open[loan.book] = -1;
        }
    }

    void lendOn(const QDate& day, Dice& dice)
    {
        const int reader = dice.below(int(m_held.size()));
        if (m_held.at(reader) >= m_rules.quota)
            return;
        for (int attempt = 0; attempt < 20; ++attempt) {
            const int book = dice.below(int(m_books.size()));
            if (m_open.at(book) >= 0 || m_books.at(book).registered > day)
                continue;
            LoanPlan loan;
            loan.reader = reader;
            loan.book = book;
            loan.lent = day;
            loan.due = day.addDays(keepDays(dice, m_books.at(book).loanDays));
            m_open[book] = int(m_loans.size());
            ++m_held[reader];
            m_loans.append(loan);
            return;
        }
    }

    QList<LoanPlan> finish()
    {
        for (int book = 0; book < m_books.size(); ++book)
            m_books[book].lent = m_open.at(book) >= 0;
        return m_loans;
    }

private:
    QList<BookPlan>& m_books;
    QList<int> m_held;  // outstanding loans per reader
    QList<int> m_open;  // outstanding loan per book, or -1
    Rules m_rules;
    QList<LoanPlan> m_loans;
};

QList<LoanPlan> playLending(QList<BookPlan>& books, int readerCount, const Rules& rules, Dice& dice,
                            const QDate& today)
{
    Desk desk(books, readerCount, rules);
    for (QDate day = today.addDays(-kLendingDays); day <= today; day = day.addDays(1)) {
        desk.returnsOn(day);
        const int visitors = dice.below(4);
        for (int i = 0; i < visitors; ++i)
            desk.lendOn(day, dice);
    }
    return desk.finish();
}

Rules readRules()
{
    QSqlQuery query = Sql::run(QStringLiteral("SELECT 借出册数, 罚款 FROM basicSet"), {}, kAction);
    Rules rules;
    if (query.next()) {
        rules.quota = query.value(0).toInt();
        rules.finePerDay = query.value(1).toDouble();
    }
    return rules;
}

void insertCategories()
{
    QSqlQuery query = Sql::prepare(
        QStringLiteral("INSERT INTO bookType (类别代码, 书籍类别, 借出天数) VALUES (:code, :name, :days)"), kAction);
    for (const Category& category : categories()) {
        query.bindValue(QStringLiteral(":code"), QString::fromUtf8(category.code));
        query.bindValue(QStringLiteral(":name"), QString::fromUtf8(category.name));
        query.bindValue(QStringLiteral(":days"), category.loanDays);
        Sql::exec(query, kAction);
    }
}

void insertPublishers()
{
    QSqlQuery query =
        Sql::prepare(QStringLiteral("INSERT INTO bookconcernList (出版社) VALUES (:name)"), kAction);
    for (const QString& name : knownPublishers()) {
        query.bindValue(QStringLiteral(":name"), name);
        Sql::exec(query, kAction);
    }
}

void insertBooks(const QList<BookPlan>& books)
{
    QSqlQuery query = Sql::prepare(
        QStringLiteral("INSERT INTO bookInfo (书籍编号, 书籍名称, 书籍价格, 出版社, 书籍页码, 类别代码, 作者姓名,"
                       " 登记日期, 是否借出) VALUES (:number, :title, :price, :publisher, :pages, :code,"
                       " :author, :registered, :lent)"),
        kAction);
    for (const BookPlan& book : books) {
        query.bindValue(QStringLiteral(":number"), book.number);
        query.bindValue(QStringLiteral(":title"), book.title);
        query.bindValue(QStringLiteral(":price"), book.price);
        query.bindValue(QStringLiteral(":publisher"), book.publisher);
        query.bindValue(QStringLiteral(":pages"), book.pages);
        query.bindValue(QStringLiteral(":code"), book.categoryCode);
        query.bindValue(QStringLiteral(":author"), book.author);
        query.bindValue(QStringLiteral(":registered"), Sql::dateValue(book.registered));
        query.bindValue(QStringLiteral(":lent"), book.lent ? 1 : 0);
        Sql::exec(query, kAction);
    }
}

void insertReaders(const QList<ReaderPlan>& readers)
{
    QSqlQuery query = Sql::prepare(
        QStringLiteral("INSERT INTO readerInfo (读者编号, 读者姓名, 读者性别, 联系电话, 所在部门)"
                       " VALUES (:number, :name, :sex, :phone, :department)"),
        kAction);
    for (const ReaderPlan& reader : readers) {
        query.bindValue(QStringLiteral(":number"), reader.number);
        query.bindValue(QStringLiteral(":name"), reader.name);
        query.bindValue(QStringLiteral(":sex"), reader.sex);
        query.bindValue(QStringLiteral(":phone"), reader.phone);
        query.bindValue(QStringLiteral(":department"), reader.department);
        Sql::exec(query, kAction);
    }
}

void insertLoans(const QList<LoanPlan>& loans, const QList<BookPlan>& books, const QList<ReaderPlan>& readers)
{
    QSqlQuery query = Sql::prepare(
        QStringLiteral("INSERT INTO lentInfo (读者编号, 书籍编号, 借书日期, 还书日期, 超出天数, 罚款金额)"
                       " VALUES (:reader, :book, :lent, :returned, :overdue, :fine)"),
        kAction);
    const QVariant noInteger(QMetaType::fromType<int>());
    const QVariant noNumber(QMetaType::fromType<double>());
    for (const LoanPlan& loan : loans) {
        const bool back = loan.returned.isValid();
        query.bindValue(QStringLiteral(":reader"), readers.at(loan.reader).number);
        query.bindValue(QStringLiteral(":book"), books.at(loan.book).number);
        query.bindValue(QStringLiteral(":lent"), Sql::dateValue(loan.lent));
        query.bindValue(QStringLiteral(":returned"), Sql::dateValue(loan.returned));
        query.bindValue(QStringLiteral(":overdue"), back ? QVariant(loan.overdueDays) : noInteger);
        query.bindValue(QStringLiteral(":fine"), back ? QVariant(loan.fine) : noNumber);
        Sql::exec(query, kAction);
    }
}

}  // namespace

int keepDays(Dice& dice, int loanDays)
{
    const int roll = dice.below(100);
    if (roll < 65)
        return dice.between(2, loanDays);
    if (roll < 88)
        return dice.between(loanDays + 1, loanDays + 15);
    return dice.between(loanDays + 16, loanDays + 75);
}

QStringList knownPublishers()
{
    return words(kPublishers);
}

void fill(const QDate& today)
{
    Transaction transaction(kAction);
    const Rules rules = readRules();
    Dice dice(kSeed);
    QList<BookPlan> books = planBooks(dice, today);
    const QList<ReaderPlan> readers = planReaders(dice, 50);
    const QList<LoanPlan> loans = playLending(books, int(readers.size()), rules, dice, today);

    insertCategories();
    insertPublishers();
    insertBooks(books);
    insertReaders(readers);
    insertLoans(loans, books, readers);
    transaction.commit();
}

}  // namespace DemoLibrary
