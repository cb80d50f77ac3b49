#include "LargeLibrary.h"

#include <sqlite3.h>

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <vector>

#include "DemoLibrary.h"
#include "Dice.h"
#include "RawStatement.h"
#include "core/logic/Conversions.h"
#include "core/logic/LibrarySchema.h"

namespace LargeLibrary {

namespace {

constexpr quint64 kSeed = 0x4C61726765ull;
// Returned loans lie in these days before today; the outstanding ones are younger.
constexpr int kHistoryDays = 5 * 365;
constexpr int kHistoryEnds = 150;
constexpr int kOutstandingPercent = 3;
// Books came in up to this many days before today.
constexpr int kDaysBack = 12 * 365;

using Words = QList<QByteArray>;

Words words(const char* text)
{
    Words list;
    for (const QString& word : QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        list.append(word.toUtf8());
    return list;
}

enum class TitleForm { Novel, Children, Subject };

struct Category {
    const char* code;
    const char* name;
    int loanDays;
    int share;  // percent of the books
    TitleForm form;
    const char* topics;
    const char* endings;
};

// Twenty categories; their shares add up to 100.
const Category kCategories[] = {
    {"A", "文学", 30, 14, TitleForm::Novel,
     "故乡 春天 河流 远方 月光 少年 城市 山村 海边 草原 记忆 岁月 时光 梦想 青春 爱情 家园 旅途 星空 秋天 "
     "冬日 夏夜 雨季 黄昏 灯火 小镇 老街 江南 北方 长河 风雪 花开 归来 往事 守望 告别 微光 野火 白夜 候鸟",
     "的故事 之歌 纪事 往事 散文集 诗选 小说集 随笔 传 三部曲"},
    {"B", "历史", 30, 7, TitleForm::Subject,
     "中国 明清 唐宋 秦汉 魏晋 近代 古代 丝绸之路 江南 敦煌 长安 北京 上海 宋元 民国 欧洲 罗马 希腊 日本 "
     "世界 海洋 帝国 王朝 边疆 运河 科举 商帮",
     "史 通史 简史 史纲 研究 考 史话 社会史 文化史 经济史 政治史 史料选编"},
    {"C", "计算机", 45, 9, TitleForm::Subject,
     "数据结构 算法 操作系统 计算机网络 数据库 编译原理 软件工程 人工智能 机器学习 深度学习 Python Java "
     "C++ C语言 Linux SQL Excel Web 前端开发 网络安全 云计算 大数据 嵌入式系统 单片机 Android Office "
     "Photoshop AutoCAD MATLAB 图像处理 分布式系统 Go语言 JavaScript",
     "程序设计 教程 实战 入门 从入门到精通 原理 应用 基础 案例教程 实用教程 开发指南 权威指南"},
    {"D", "经济管理", 30, 8, TitleForm::Subject,
     "经济学 管理学 会计学 财务管理 市场营销 统计学 金融学 投资学 货币银行学 人力资源管理 审计学 税法 "
     "国际贸易 企业管理 电子商务 物流管理 项目管理 战略管理 组织行为学 公司理财",
     "原理 概论 教程 基础 实务 案例 导论 习题集"},
    {"E", "哲学宗教", 60, 4, TitleForm::Subject,
     "哲学 伦理学 逻辑学 美学 儒家 道家 佛教 中国哲学 西方哲学 宋明理学 心学 存在主义 现象学 认识论 "
     "宗教学 老子 庄子 论语 孟子 周易",
     "史 导论 研究 讲义 概论 译注 新解 十讲 论稿"},
    {"F", "艺术", 30, 4, TitleForm::Subject,
     "书法 绘画 国画 油画 素描 色彩 雕塑 摄影 设计 建筑 音乐 舞蹈 戏曲 电影 篆刻 陶瓷 园林 服饰 民间美术 版画",
     "史 基础 教程 入门 鉴赏 技法 艺术 作品选 赏析"},
    {"G", "自然科学", 45, 7, TitleForm::Subject,
     "高等数学 线性代数 概率论 数理统计 物理学 力学 电磁学 光学 热学 量子力学 化学 有机化学 无机化学 "
     "生物学 遗传学 生态学 天文学 地质学 气象学 植物学 动物学 数学分析",
     "教程 基础 导论 习题集 原理 学习指导 概论"},
    {"H", "医药卫生", 30, 6, TitleForm::Subject,
     "内科学 外科学 儿科学 妇产科学 生理学 病理学 药理学 诊断学 护理学 中医 针灸 中药学 方剂学 解剖学 "
     "免疫学 营养学 康复医学 急救 预防医学 精神病学",
     "基础 学习指导 手册 实用手册 图谱 概要 临床指南"},
    {"I", "少儿读物", 14, 7, TitleForm::Children,
     "小熊 小兔子 大象 小狐狸 恐龙 森林 海洋 星星 月亮 太阳 小猫 小狗 魔法 城堡 宝藏 彩虹 小花 蝴蝶 小猪 熊猫",
     "的故事 历险记 绘本 童话 的秘密 找朋友 的一天 去旅行 的礼物"},
    {"J", "工具书", 14, 3, TitleForm::Subject,
     "汉语 英语 成语 古汉语 现代汉语 英汉 汉英 俄汉 日汉 法汉 德汉 唐诗 宋词 书法 地名 人名 百科 科技 医学",
     "词典 字典 大辞典 手册 辞海 年鉴 图鉴 地图集"},
    {"K", "政治法律", 30, 4, TitleForm::Subject,
     "宪法 民法 刑法 行政法 民事诉讼法 刑事诉讼法 合同法 公司法 劳动法 国际法 知识产权法 婚姻法 政治学 "
     "国际关系 公共管理 社会保障",
     "学 概论 教程 释义 案例 原理 条文解读"},
    {"L", "教育", 30, 5, TitleForm::Subject,
     "教育学 心理学 教育心理学 课程论 教学论 学前教育 特殊教育 家庭教育 高等教育 职业教育 班主任工作 德育 "
     "语文教学 数学教学 英语教学",
     "原理 概论 研究 导论 方法 案例 指南"},
    {"M", "语言文字", 30, 5, TitleForm::Subject,
     "汉语 英语 日语 法语 德语 俄语 韩语 语言学 语音学 语法 修辞 写作 翻译 方言 文字学 训诂学 音韵学",
     "教程 入门 语法 口语 听力 阅读 写作 概论 基础"},
    {"N", "军事", 30, 2, TitleForm::Subject, "孙子兵法 战争 军事 战略 战役 兵器 海军 空军 陆军 国防 装备 战术",
     "史 研究 概论 全书 简史 图鉴"},
    {"O", "农业", 45, 3, TitleForm::Subject,
     "水稻 小麦 玉米 果树 蔬菜 茶叶 蚕桑 畜牧 养猪 养鸡 水产 农药 土壤 肥料 园艺 花卉 农业机械 植物保护 种子",
     "栽培技术 种植技术 实用技术 病虫害防治 养殖技术 学 手册"},
    {"P", "工业技术", 45, 6, TitleForm::Subject,
     "机械设计 机械制图 电工 电子技术 电路 自动控制 数控 焊接 模具 材料力学 工程力学 汽车 电力系统 通信原理 "
     "信号与系统 化工原理 土木工程 建筑施工 工程测量 工程制图",
     "基础 原理 教程 手册 实训 技术 设计"},
    {"Q", "交通运输", 30, 2, TitleForm::Subject,
     "铁路 公路 桥梁 隧道 航空 航海 港口 城市交通 道路 汽车驾驶 物流 高速铁路 船舶", "工程 概论 设计 管理 规划 技术 手册"},
    {"R", "环境科学", 45, 1, TitleForm::Subject,
     "环境 生态 污染 水资源 大气 气候变化 环境保护 环境监测 固体废物 可持续发展 节能减排", "学 概论 导论 工程 监测 治理 评价"},
    {"S", "地理", 30, 2, TitleForm::Subject,
     "中国 世界 自然地理 人文地理 城市地理 经济地理 地图 地貌 河流 山脉 旅游地理 区域地理", "学 概论 图册 指南 游记"},
    {"T", "体育", 14, 1, TitleForm::Subject,
     "足球 篮球 排球 乒乓球 羽毛球 网球 游泳 田径 太极拳 武术 瑜伽 健身 跑步 围棋 象棋 登山",
     "入门 教程 技巧 训练 规则 图解 基础"},
};

const char* const kModifiers = "中国 现代 实用 新编 简明 基础 高级 当代 世界 古代 西方 大学 中学生 图解 趣味 通俗 青少年 全新 精编 最新";
const char* const kSurnames =
    "王 李 张 刘 陈 杨 黄 赵 吴 周 徐 孙 马 朱 胡 郭 何 高 林 罗 郑 梁 谢 宋 唐 许 韩 冯 邓 曹 彭 曾 肖 田 董 袁 "
    "潘 于 蒋 蔡 余 杜 叶 程 苏 魏 吕 丁 任 沈 姚 卢 姜 崔 钟 谭 陆 汪 范 金 石 廖 贾 夏 韦 付 方 白 邹 孟 熊 秦 "
    "邱 江 尹 薛 闫 段 雷 侯 龙 史 陶 黎 贺 顾 毛 郝 龚 邵 万 钱 严 覃 武 戴 莫 孔 向 汤 欧阳 司马 诸葛";
const char* const kMaleNameCharacters =
    "伟 强 磊 军 洋 勇 杰 涛 明 超 建 国 志 华 文 斌 海 峰 晓 东 子 轩 宇 航 振 俊 浩 鹏 辉 刚 平 亮 鑫 波 宁 凯 健 翔 林 毅";
const char* const kFemaleNameCharacters =
    "芳 娜 敏 静 丽 艳 娟 霞 婷 雪 秀 英 燕 玉 兰 美 玲 雅 琴 思 雨 欣 怡 佳 慧 梦 瑶 颖 琳 晶 倩 萍 红 月 洁 莉 蕾 璐 诗 涵";
const char* const kDepartments =
    "办公室 财务处 教务处 人事处 后勤处 学生处 科研处 保卫处 信息中心 图书馆 工会 团委 计算机学院 外国语学院 文学院 "
    "理学院 工学院 经济管理学院 法学院 医学院 艺术学院 体育学院 教育学院 化学化工学院 机械工程学院 土木工程学院";
const char* const kMobilePrefixes = "133 135 136 137 138 139 150 151 158 186 187 189";
const char* const kPlaces =
    "北京 天津 河北 山西 内蒙古 辽宁 吉林 黑龙江 上海 江苏 浙江 安徽 福建 江西 山东 河南 湖北 湖南 广东 广西 海南 "
    "重庆 四川 贵州 云南 西藏 陕西 甘肃 青海 宁夏 新疆 大连 青岛 宁波 厦门 深圳 南京 杭州 武汉 广州 成都 西安 沈阳 "
    "长春 哈尔滨 济南 郑州 长沙 南昌 合肥 福州 昆明 贵阳 南宁 兰州 太原 石家庄 呼和浩特 乌鲁木齐 苏州";
const char* const kPublisherKinds =
    "人民 教育 科学技术 文艺 美术 少年儿童 古籍 大学 师范大学 音乐 画报 电子音像 财经 民族 辞书 译文 书画 摄影 "
    "地图 科普 农业 交通 法律 医药 体育 旅游 海洋 工业 理工大学 工商 文化 友谊 社会科学";
constexpr int kPublisherCount = 2000;

QByteArray utf8(const char* text) { return QByteArray(text); }

// The well-known houses first, then place and kind, up to about two thousand.
Words publishers()
{
    Words list;
    QSet<QByteArray> seen;
    for (const QString& name : DemoLibrary::knownPublishers()) {
        list.append(name.toUtf8());
        seen.insert(list.last());
    }
    for (const QByteArray& place : words(kPlaces)) {
        for (const QByteArray& kind : words(kPublisherKinds)) {
            const QByteArray name = place + kind + utf8("出版社");
            if (list.size() < kPublisherCount && !seen.contains(name)) {
                list.append(name);
                seen.insert(name);
            }
        }
    }
    return list;
}

// A category's words, read once.
struct Vocabulary {
    QByteArray code;
    int loanDays;
    TitleForm form;
    Words topics, endings;
};

class TitleMaker {
public:
    TitleMaker()
        : m_modifiers(words(kModifiers)),
          m_surnames(words(kSurnames)),
          m_male(words(kMaleNameCharacters)),
          m_female(words(kFemaleNameCharacters))
    {
        for (const Category& category : kCategories) {
            m_categories.append({utf8(category.code), category.loanDays, category.form, words(category.topics),
                                 words(category.endings)});
            for (int i = 0; i < category.share; ++i)
                m_byShare.append(int(m_categories.size()) - 1);
        }
    }

    // A category by its share of the books, as an index into kCategories.
    int drawCategory(Dice& dice) const { return m_byShare.at(dice.below(100)); }
    const Vocabulary& category(int index) const { return m_categories.at(index); }

    QByteArray title(Dice& dice, const Vocabulary& category) const
    {
        const Words& topics = category.topics;
        const Words& endings = category.endings;
        QByteArray title;
        switch (category.form) {
        case TitleForm::Novel: {
            const int form = dice.below(10);
            if (form < 4)
                title = topics.at(dice.skewed(int(topics.size()))) + utf8("的") + dice.pick(topics);
            else if (form < 7)
                title = dice.pick(topics) + endings.at(dice.skewed(int(endings.size())));
            else
                title = dice.pick(topics) + dice.pick(topics);
            break;
        }
        case TitleForm::Children:
            title = dice.pick(topics) + dice.pick(endings);
            break;
        case TitleForm::Subject:
            if (dice.chance(30))
                title = m_modifiers.at(dice.skewed(int(m_modifiers.size())));
            title += topics.at(dice.skewed(int(topics.size())));
            if (dice.chance(10))
                title += utf8("与") + dice.pick(topics);
            if (dice.chance(85))
                title += endings.at(dice.skewed(int(endings.size())));
            break;
        }
        if (dice.chance(8))
            title += QStringLiteral("（第%1版）").arg(dice.between(2, 8)).toUtf8();
        else if (dice.chance(4))
            title += dice.chance(50) ? utf8("（上册）") : utf8("（下册）");
        return title;
    }

    QByteArray name(Dice& dice, bool male) const
    {
        const Words& given = male ? m_male : m_female;
        QByteArray name = m_surnames.at(dice.skewed(int(m_surnames.size()))) + dice.pick(given);
        if (dice.chance(60))
            name += dice.pick(given);
        return name;
    }

    QByteArray author(Dice& dice, const Vocabulary& category) const
    {
        const int roll = dice.below(100);
        if (roll < 3)
            return utf8("不详");
        if (roll < 8)
            return dice.pick(category.topics) + utf8("编写组");
        return name(dice, dice.chance(60));
    }

private:
    QList<Vocabulary> m_categories;
    QList<int> m_byShare;
    Words m_modifiers, m_surnames, m_male, m_female;
};

// Numbers with their letter, zero-padded to the width the library's size
// needs, written in place: the loans need ten million of them, for which
// snprintf and a new QByteArray each took a tenth of the loans' time.
class Numbering {
public:
    Numbering(const char* prefix, int width) : m_prefix(int(std::strlen(prefix))), m_width(width)
    {
        std::memcpy(m_text, prefix, m_prefix);
    }
    // The text of n >= 0, until the next call.
    QByteArray operator()(qint64 n)
    {
        char digits[20];
        int count = 0;
        do {
            digits[count++] = char('0' + n % 10);
            n /= 10;
        } while (n > 0);
        char* end = m_text + m_prefix;
        for (int pad = m_width - count; pad > 0; --pad)
            *end++ = '0';
        while (count > 0)
            *end++ = digits[--count];
        return QByteArray::fromRawData(m_text, end - m_text);
    }

private:
    char m_text[48];
    int m_prefix, m_width;
};

// One such number, as a text of its own.
QByteArray numbered(const char* prefix, qint64 n, int width)
{
    Numbering numbering(prefix, width);  // holds the text the raw array points into
    const QByteArray text = numbering(n);
    return QByteArray(text.constData(), text.size());
}

int digits(qint64 n)
{
    return int(QByteArray::number(n).size());
}

// ISO date texts of the days before today, computed once.
class Days {
public:
    Days(const QDate& today, int count)
    {
        m_texts.reserve(count);
        for (int back = 0; back < count; ++back)
            m_texts.append(today.addDays(-back).toString(Qt::ISODate).toUtf8());
    }
    const QByteArray& before(int back) const { return m_texts.at(back); }

private:
    QList<QByteArray> m_texts;
};

struct Rules {
    int quota;
    double finePerDay;
};

Rules readRules(sqlite3* db)
{
    RawStatement query(db, "SELECT 借出册数, 罚款 FROM basicSet");
    Rules rules{LibrarySchema::kDefaultQuota, LibrarySchema::kDefaultFinePerDay};
    if (query.step())
        rules = {int(query.integerAt(0)), sqlite3_column_double(query.handle(), 1)};
    return rules;
}

qint64 outstandingCount(const Size& size, int quota)
{
    const qint64 wanted = (size.loans * kOutstandingPercent + 99) / 100;
    return std::min({wanted, size.books, size.readers * qint64(std::max(quota, 0))});
}

// Inserts `count` rows through one prepared statement; bind(statement, i)
// binds the i-th row's values.
template <typename Bind>
void insertRows(sqlite3* db, const char* sql, qint64 count, const Bind& bind)
{
    RawStatement insert(db, sql);
    for (qint64 i = 0; i < count; ++i) {
        bind(insert, i);
        insert.run();
    }
}

void writeCategoriesAndPublishers(sqlite3* db, const Words& publisherNames)
{
    insertRows(db, "INSERT INTO bookType (类别代码, 书籍类别, 借出天数) VALUES (?, ?, ?)", std::size(kCategories),
               [](RawStatement& row, qint64 i) {
                   const Category& c = kCategories[i];
                   row.text(1, utf8(c.code)).text(2, utf8(c.name)).integer(3, c.loanDays);
               });
    insertRows(db, "INSERT INTO bookconcernList (出版社) VALUES (?)", publisherNames.size(),
               [&](RawStatement& row, qint64 i) { row.text(1, publisherNames.at(i)); });
}

// Writes the books, each of the category planned for it and lent or not as planned.
void writeBooks(sqlite3* db, const Size& size, const TitleMaker& maker, const Words& publisherNames,
                const Days& days, Dice& dice, const std::vector<quint8>& categoryOf, const std::vector<bool>& out,
                const BookTexts& eachBook)
{
    const int width = std::max(4, digits(size.books));
    insertRows(db,
               "INSERT INTO bookInfo (书籍编号, 书籍名称, 书籍价格, 出版社, 书籍页码, 类别代码, 作者姓名, 登记日期,"
               " 是否借出) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
               size.books, [&](RawStatement& book, qint64 b) {
                   const Vocabulary& category = maker.category(categoryOf[b]);
                   const int cents = dice.between(12, 128) * 100 + (dice.chance(40) ? 50 : 0);
                   const QByteArray number = numbered("B", b + 1, width);
                   const QByteArray title = maker.title(dice, category);
                   const QByteArray& publisher = publisherNames.at(dice.skewed(int(publisherNames.size())));
                   if (eachBook)
                       eachBook(number, title, publisher);
                   book.text(1, number)
                       .text(2, title)
                       .text(3, QByteArray::number(cents / 100.0, 'f', 2))
                       .text(4, publisher)
                       .text(5, dice.chance(3) ? utf8("不详") : QByteArray::number(dice.between(60, 960)))
                       .text(6, category.code)
                       .text(7, maker.author(dice, category))
                       .text(8, days.before(dice.between(kHistoryDays + kHistoryEnds + 30, kDaysBack)))
                       .integer(9, out[b] ? 1 : 0);
               });
}

QByteArray phoneNumber(Dice& dice, const Words& prefixes)
{
    char text[24];
    if (dice.chance(30))
        std::snprintf(text, sizeof text, "0571-8%06d", dice.between(0, 999999));
    else
        std::snprintf(text, sizeof text, "%s%08d", prefixes.at(dice.below(int(prefixes.size()))).constData(),
                      dice.between(0, 99999999));
    return QByteArray(text);
}

void writeReaders(sqlite3* db, const Size& size, const TitleMaker& maker, Dice& dice)
{
    const Words departments = words(kDepartments);
    const Words prefixes = words(kMobilePrefixes);
    const int width = std::max(3, digits(size.readers));
    insertRows(db, "INSERT INTO readerInfo (读者编号, 读者姓名, 读者性别, 联系电话, 所在部门) VALUES (?, ?, ?, ?, ?)",
               size.readers, [&](RawStatement& reader, qint64 r) {
                   const bool male = dice.chance(50);
                   reader.text(1, numbered("", r + 1, width))
                       .text(2, maker.name(dice, male))
                       .text(3, male ? utf8("男") : utf8("女"))
                       .text(4, phoneNumber(dice, prefixes))
                       .text(5, departments.at(dice.skewed(int(departments.size()))));
               });
}

// Runs `write` in a transaction of its own on db.
template <typename Write>
void inTransaction(sqlite3* db, const Write& write)
{
    rawExec(db, "BEGIN");
    try {
        write();
        rawExec(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

}  // namespace

Library::Library(sqlite3* db, const Size& size, const QDate& today) : m_size(size), m_today(today)
{
    const Rules rules = readRules(db);
    m_quota = rules.quota;
    m_finePerDay = rules.finePerDay;
    // The plan has dice of its own, as the books and the loans have, so that
    // each is the same whichever is written first.
    Dice dice(kSeed + 1);
    const TitleMaker maker;
    m_category.resize(size.books);
    for (quint8& category : m_category)
        category = quint8(maker.drawCategory(dice));
    // Distinct books for the outstanding loans.
    const qint64 outstanding = size.loans == 0 ? 0 : outstandingCount(size, m_quota);
    std::vector<qint64> books(size.books);
    std::iota(books.begin(), books.end(), 0);
    for (qint64 k = 0; k < outstanding; ++k)
        std::swap(books[k], books[k + dice.below(int(size.books - k))]);
    m_outBooks.assign(books.begin(), books.begin() + outstanding);
    m_out.resize(size.books);
    for (const qint64 b : m_outBooks)
        m_out[b] = true;
}

void Library::writeCatalogue(sqlite3* db, const BookTexts& eachBook) const
{
    Dice dice(kSeed);
    const TitleMaker maker;
    const Words publisherNames = publishers();
    const Days days(m_today, kDaysBack + 1);
    inTransaction(db, [&] {
        writeCategoriesAndPublishers(db, publisherNames);
        writeBooks(db, m_size, maker, publisherNames, days, dice, m_category, m_out, eachBook);
        writeReaders(db, m_size, maker, dice);
    });
}

// The loans: the returned ones round after round over the books, each
// round in its own stretch of the history so that a book's loans follow one
// another; then the outstanding ones, each on its own book and spread over
// the readers so that nobody holds more than the quota.
void Library::writeLoans(sqlite3* db) const
{
    if (m_size.loans == 0)
        return;
    Dice dice(kSeed + 2);
    const Days days(m_today, kDaysBack + 1);
    const Size& size = m_size;
    Numbering bookNumber("B", std::max(4, digits(size.books)));
    Numbering readerNumber("", std::max(3, digits(size.readers)));
    const qint64 outstanding = qint64(m_outBooks.size());
    const qint64 returned = size.loans - outstanding;
    QList<double> fines;  // by overdue days, as the desk shows and stores them
    for (int d = 0; d <= 255; ++d)
        fines.append(Conversions::numberText(m_finePerDay * d).toDouble());
    const auto loanDays = [this](qint64 b) { return kCategories[m_category[b]].loanDays; };

    const qint64 rounds = std::max<qint64>(1, (returned + size.books - 1) / size.books);
    const int stretch = int(std::max<qint64>(1, kHistoryDays / rounds));
    // In each round the readers take the books in turn, each round starting
    // at another reader: a reader's loans of a round are neighbouring
    // numbers of books of every category.
    const qint64 turn = size.readers / rounds + 7;
    const auto readerOf = [&](qint64 j) {
        return ((j % size.books) * size.readers / size.books + (j / size.books) * turn) % size.readers + 1;
    };
    qint64 stride = 7919;  // through the readers, for the outstanding loans
    while (std::gcd(stride, size.readers) != 1)
        ++stride;
    inTransaction(db, [&] {
        RawStatement loan(db, "INSERT INTO lentInfo (读者编号, 书籍编号, 借书日期, 还书日期, 超出天数, 罚款金额)"
                              " VALUES (?, ?, ?, ?, ?, ?)");
        for (qint64 j = 0; j < returned; ++j) {
            const qint64 b = j % size.books;
            const int period = loanDays(b);
            const int keep = DemoLibrary::keepDays(dice, period);
            const int latestStart = std::max(0, stretch - period - 80);
            // A book lent more often than the history has room for overlaps its own loans.
            const int lentBack = std::max(kHistoryEnds + keep, kHistoryEnds + kHistoryDays
                                                                   - int(j / size.books) * stretch
                                                                   - dice.between(0, latestStart));
            const int overdue = std::max(0, keep - period);
            loan.text(1, readerNumber(readerOf(j)))
                .text(2, bookNumber(b + 1))
                .text(3, days.before(lentBack))
                .text(4, days.before(std::max(kHistoryEnds, lentBack - keep)))
                .integer(5, overdue)
                .real(6, fines.at(std::min(overdue, 255)))
                .run();
        }
        for (qint64 k = 0; k < outstanding; ++k) {
            const qint64 b = m_outBooks[k];
            loan.text(1, readerNumber((k * stride) % size.readers + 1))
                .text(2, bookNumber(b + 1))
                .text(3, days.before(dice.between(0, loanDays(b) * 5 / 4)))
                .null(4)
                .null(5)
                .null(6)
                .run();
        }
    });
}

QString refusal(const Size& size)
{
    if (size.books < 0 || size.readers < 0 || size.loans < 0)
        return QStringLiteral("图书、读者和借阅的数目不能是负数。");
    if (size.books > 100000000 || size.readers > 10000000 || size.loans > 1000000000)
        return QStringLiteral("数目太大: 最多一亿册图书、一千万位读者、十亿条借阅。");
    if (size.loans > 0 && (size.books == 0 || size.readers == 0))
        return QStringLiteral("有借阅记录的图书馆需要至少一册图书和一位读者。");
    return QString();
}

}  // namespace LargeLibrary
