"""A clerk signs in with the default account, lends a book at the desk, takes
an overdue one back, registers a new book and lends it at once, then finds
that book in the book query and its loan in the lending query, adds a reader
from the desk's 添加新读者, changes it through 读者管理 and sets the quota
through 基本设置, then types a book number in use, which must be refused, and a
title the store must keep exactly (a quote, a percent sign and an underscore),
and deletes every book, working the real program's windows through the
accessibility bus."""
import configparser
import datetime
import os
import sqlite3
import sys
import time
from contextlib import closing

import pyatspi

PROGRAM_DIR = os.environ["SHELFMARK_DIR"]
TITLE = "澄岳图书管理系统 Ver 2.01 Build:0147"
NEW_BOOK, NEW_TITLE = "E2E-001", "端到端测试之书"


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def expect(what, actual, expected):
    if actual != expected:
        fail("%s: %r, expected %r" % (what, actual, expected))


def wait_for(what, find, timeout=10.0):
    deadline = time.time() + timeout
    while time.time() < deadline:
        try:
            if found := find():
                return found
        except Exception:  # the tree changes under us while windows open
            pass
        time.sleep(0.1)
    fail("not found: " + what)


def showing(acc):
    return acc.getState().contains(pyatspi.STATE_SHOWING)


def gone(acc):
    """The widget is closed: no longer shown, or no longer on the bus."""
    try:
        return not showing(acc)
    except Exception:
        return True


def find(root, role, name=None, shown=True):
    """A widget by role (and name); with shown=False also a hidden one (menu items until their menu opens)."""
    return pyatspi.findDescendant(root, lambda acc: acc is not None and acc.getRoleName() == role
                                  and (not shown or showing(acc)) and (name is None or acc.name == name))


def application():
    return next((app for app in pyatspi.Registry.getDesktop(0) if app is not None and any(
        child is not None and child.name in ("登录", TITLE) for child in app)), None)


def click(acc):
    ext = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    pyatspi.Registry.generateMouseEvent(ext.x + ext.width // 2, ext.y + ext.height // 2, "b1c")
    time.sleep(0.2)


def type_into(acc, text, enter=False):
    click(acc)
    acc.queryEditableText().setTextContents(text)
    if enter:
        pyatspi.Registry.generateKeyboardEvent(0xff0d, None, pyatspi.KEY_SYM)
    time.sleep(0.2)


def press(button):
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(next((i for i, name in enumerate(names) if name in ("Press", "press", "click")), 0))


def text_of(acc):
    t = acc.queryText()
    return t.getText(0, t.characterCount)


def answer_message(app, expected):
    alert = wait_for("message box " + expected, lambda: find(app, "alert"))
    labels = [child.name for child in alert if child is not None and child.getRoleName() == "label"]
    if expected not in labels:
        fail("message box shows %r, expected %r" % (labels, expected))
    wait_for("active message box", lambda: alert.getState().contains(pyatspi.STATE_ACTIVE))
    press_button(alert, "确定")
    wait_for("message box closed", lambda: gone(alert))
    time.sleep(0.3)


def db_rows(statement, args=()):
    """A plain reading of the library: its file, or the server dat/library.ini names."""
    ini = configparser.ConfigParser()
    if ini.read(os.path.join(PROGRAM_DIR, "dat", "library.ini")):
        import psycopg2
        words = {k: v for k, v in ini["library"].items() if k in ("host", "port", "dbname", "user")}
        with closing(psycopg2.connect(**words)) as db, db.cursor() as cursor:
            cursor.execute(statement.replace("?", "%s"), args)
            return cursor.fetchall()
    with closing(sqlite3.connect(os.path.join(PROGRAM_DIR, "mdb", "Shelfmark.mdb"))) as db:
        return db.execute(statement, args).fetchall()


def db_row(statement, args=()):
    return (db_rows(statement, args) or [None])[0]


def outstanding(reader, book):
    """How many loans of the book the reader holds, and the book's lent flag."""
    return db_row("SELECT (SELECT count(*) FROM lentInfo WHERE 读者编号 = ? AND 书籍编号 = ? AND 还书日期 IS NULL),"
                  " 是否借出 FROM bookInfo WHERE 书籍编号 = ?", (reader, book, book))


def open_window(app, item, caption):
    """Chooses a menu item and waits for the window it opens."""
    press(wait_for("menu item " + item, lambda: find(app, "menu item", item, shown=False)))
    return wait_for(caption + " window", lambda: find(app, "frame", caption))


def close_window(app, window, caption, button="关闭"):
    press_button(window, button)
    wait_for(caption + " window closed", lambda: find(app, "frame", caption) is None)


def press_button(window, caption):
    press(wait_for(caption, lambda: find(window, "push button", caption)))


def box(window, caption):
    return wait_for(caption + " box", lambda: find(window, "text", caption))


def type_into_box(window, caption, text, enter=False):
    type_into(box(window, caption), text, enter)


def first_category():
    code, name = db_row("SELECT 类别代码, 书籍类别 FROM bookType ORDER BY rowid LIMIT 1")
    return code, code + "-" + name


def fill_new_book(window, number, title, category, price):
    type_into_box(window, "书籍编号:", number)
    type_into_box(window, "书籍名称:", title)
    category_box = wait_for("书籍类别 box", lambda: find(window, "combo box", "书籍类别:"))
    type_into(wait_for("书籍类别 text", lambda: find(category_box, "text")), category)
    type_into_box(window, "书籍价格:", price)


def lend(app, main_window, reader, book, title):
    """Lends the book on the desk's lend tab once it shows the reader's name and the book's title."""
    click(wait_for("lend tab", lambda: find(main_window, "page tab", "正常借书")))
    type_into_box(main_window, "读者编号:", reader, enter=True)
    name_box = box(main_window, "读者姓名:")
    wait_for("reader's name shown", lambda: text_of(name_box) != "")
    type_into_box(main_window, "书籍编号:", book, enter=True)
    title_box = box(main_window, "书籍名称:")
    wait_for("the title %s on the desk" % title, lambda: text_of(title_box) == title)
    press_button(main_window, "借出当前图书")
    answer_message(app, "借出完毕!")
    expect("after lending %s: (loans, lent flag)" % book, outstanding(reader, book), (1, 1))


def take_back_overdue_book(app, main_window):
    # An outstanding loan overdue today, with the fine the desk must show.
    today = datetime.date.today()
    reader, book, overdue, fine_per_day = next(
        (reader, book, (today - datetime.date.fromisoformat(lent)).days - days, fine)
        for reader, book, lent, days, fine in db_rows(
            "SELECT l.读者编号, l.书籍编号, l.借书日期, t.借出天数, (SELECT 罚款 FROM basicSet)"
            " FROM lentInfo l JOIN bookInfo b ON b.书籍编号 = l.书籍编号"
            " JOIN bookType t ON t.类别代码 = b.类别代码 JOIN readerInfo r ON r.读者编号 = l.读者编号"
            " WHERE l.还书日期 IS NULL ORDER BY l.书籍编号")
        if (today - datetime.date.fromisoformat(lent)).days > days)
    fine = "%.15g" % (fine_per_day * overdue)
    click(wait_for("return tab", lambda: find(main_window, "page tab", "还  书")))
    type_into_box(main_window, "读者编号:", reader, enter=True)
    type_into_box(main_window, "书籍编号:", book, enter=True)
    fine_box = box(main_window, "罚款金额:")
    wait_for("fine shown", lambda: text_of(fine_box) != "")
    expect("days over and fine at the return", (text_of(find(main_window, "text", "超出天数:")), text_of(fine_box)),
           (str(overdue), fine))
    press_button(main_window, "归还图书")
    answer_message(app, "归还完毕!")
    stored = db_row("SELECT 超出天数, 罚款金额, 是否借出 FROM lentInfo JOIN bookInfo USING (书籍编号)"
                    " WHERE 书籍编号 = ? AND 还书日期 = ?", (book, today.isoformat()))
    expect("stored return", stored and (stored[0], "%.15g" % stored[1], stored[2]), (overdue, fine, 0))
    print("e2e: took back %s from reader %s, %d days overdue, fine %s" % (book, reader, overdue, fine))


def register_book_and_lend_it(app, main_window, reader):
    """Registers a new book through 书库管理 > 添加新书 and lends it at the desk at once."""
    new_book = open_window(app, "添加新书", "添加新书")
    code, item = first_category()
    fill_new_book(new_book, NEW_BOOK, NEW_TITLE, item, "28.5")
    press_button(new_book, "保存")
    answer_message(app, "新书添加完毕")
    expect("registered row", db_row("SELECT 书籍名称, 类别代码, 出版社, 作者姓名, 书籍价格, 书籍页码, 是否借出 FROM bookInfo"
                                    " WHERE 书籍编号 = ?", (NEW_BOOK,)), (NEW_TITLE, code, "不详", "不详", "28.5", "不详", 0))
    close_window(app, new_book, "添加新书")
    lend(app, main_window, reader, NEW_BOOK, NEW_TITLE)
    print("e2e: registered %s through 添加新书 and lent it to reader %s" % (NEW_BOOK, reader))


def table_rows(window):
    """A window's results grid: its column headings in the order a screen reader reads them, and its rows,
    each a dict from column heading to cell text."""
    table = wait_for("results grid", lambda: find(window, "table")).queryTable()
    names = [table.getColumnDescription(c) for c in range(table.nColumns)]
    return names, [{names[c]: table.getAccessibleAt(r, c).name for c in range(table.nColumns)}
                   for r in range(table.nRows)]


def expect_found(app, window, caption, headings, columns, expected):
    """A query's message, then its grid's headings and the chosen columns of the rows it found."""
    answer_message(app, "查询结果如下!!")
    rows = wait_for("rows in %s's grid" % caption, lambda: table_rows(window)[1])
    expect("%s's grid reads its columns as" % caption, "|".join(table_rows(window)[0]), headings)
    expect("%s lists" % caption, [tuple(row[c] for c in columns.split("|")) for row in rows], expected)
    close_window(app, window, caption)


def find_book_and_loan(app, reader, book):
    """Finds the book by its number (Enter searches) and the loan by reader and book."""
    books = open_window(app, "书库查询", "书库查询")
    type_into_box(books, "书籍编号:", book, enter=True)
    expect_found(app, books, "书库查询", "书籍编号|书籍名称|类别代码|出版社|作者姓名|书籍价格|书籍页码|登记日期|是否借出",
                 "书籍编号|书籍名称|是否借出", [(book, NEW_TITLE, "是")])

    # The lending query opens ready for a reader number: once its window is
    # active, keys typed go into 读者编号.
    loans = open_window(app, "借阅查询", "借阅查询")
    number_box = box(loans, "读者编号:")
    click(wait_for("results caption", lambda: find(loans, "label", "查询结果如下:")))
    wait_for("the focus in 读者编号", lambda: number_box.getState().contains(pyatspi.STATE_FOCUSED))
    for ch in reader:
        pyatspi.Registry.generateKeyboardEvent(ord(ch), None, pyatspi.KEY_SYM)
        time.sleep(0.05)
    wait_for("the reader number typed", lambda: text_of(number_box) == reader)
    type_into_box(loans, "书籍编号:", book)
    press_button(loans, "开始查询")
    today = time.localtime()
    expect_found(app, loans, "借阅查询", "读者编号|读者姓名|书籍编号|书籍名称|书籍类别|书籍页码|出版社|借书日期|还书日期",
                 "读者编号|书籍编号|借书日期|还书日期",
                 [(reader, book, "%d/%d/%d" % (today.tm_year, today.tm_mon, today.tm_mday), "")])
    print("e2e: found %s in 书库查询 and its loan to reader %s in 借阅查询" % (book, reader))


def add_reader_from_the_desk(app, main_window):
    """The desk's 添加新读者 opens the reader window on the number typed at the desk."""
    number = "%03d" % (int(db_row("SELECT max(CAST(读者编号 AS INTEGER)) FROM readerInfo")[0] or 0) + 1)
    click(wait_for("lend tab", lambda: find(main_window, "page tab", "正常借书")))
    type_into_box(main_window, "读者编号:", number)
    press_button(main_window, "添加新读者")
    readers = wait_for("reader window", lambda: find(app, "frame", "读者资料管理"))
    expect("the reader window opened on", text_of(box(readers, "读者编号:")), number)
    expect("the find button in the desk's add-reader mode", find(readers, "push button", "查找读者信息"), None)
    type_into_box(readers, "读者姓名:", "端到端")
    press(wait_for("女", lambda: find(readers, "radio button", "女")))
    type_into_box(readers, "联系电话:", "0571-1234")
    press_button(readers, "添加新读者")
    answer_message(app, "读者资料添加完毕")
    expect("added reader", db_row("SELECT 读者姓名, 读者性别, 联系电话, 所在部门 FROM readerInfo WHERE 读者编号 = ?",
                                  (number,)), ("端到端", "女", "0571-1234", ""))
    close_window(app, readers, "读者资料管理", "退出")
    print("e2e: added reader %s from the desk's 添加新读者" % number)
    return number


def change_reader_from_the_menu(app, number):
    """读者管理: look the reader up with Enter, change the department."""
    readers = open_window(app, "读者管理", "读者资料管理")
    type_into_box(readers, "读者编号:", number, enter=True)
    name_box = box(readers, "读者姓名:")
    wait_for("reader's name shown", lambda: text_of(name_box) == "端到端")
    type_into_box(readers, "所在部门:", "办公室")
    press_button(readers, "修改读者信息")
    answer_message(app, "读者资料修改完毕!")
    expect("the stored department", db_row("SELECT 所在部门 FROM readerInfo WHERE 读者编号 = ?", (number,)), ("办公室",))
    close_window(app, readers, "读者资料管理", "退出")
    print("e2e: changed reader %s through 读者管理" % number)


def set_rules_and_see_them_at_the_desk(app, main_window, reader):
    """基本设置 shows the stored rules; a saved quota is what the desk counts with next."""
    rules = open_window(app, "基本设置", "基本设置")
    quota_box = box(rules, "每人最多允许借出:")
    expect("the rules window's quota", text_of(quota_box), str(db_row("SELECT 借出册数 FROM basicSet")[0]))
    held = db_row("SELECT count(*) FROM lentInfo WHERE 读者编号 = ? AND 还书日期 IS NULL", (reader,))[0]
    type_into(quota_box, str(held + 4))
    press_button(rules, "保存")
    answer_message(app, "设置完毕!")
    expect("the stored quota", db_row("SELECT 借出册数 FROM basicSet")[0], held + 4)
    close_window(app, rules, "基本设置")
    type_into_box(main_window, "读者编号:", reader, enter=True)
    wait_for("quota left at the desk", lambda: find(main_window, "label", "4"))
    print("e2e: set the quota to %d through 基本设置; the desk shows 4 left for reader %s" % (held + 4, reader))


def refuse_bad_input(app):
    """A book number in use is refused in a message box and leaves the store as it was."""
    new_book = open_window(app, "添加新书", "添加新书")
    taken = db_row("SELECT 书籍编号 FROM bookInfo ORDER BY rowid LIMIT 1")[0]
    title = "It's 50%_书 \"《》\""
    fill_new_book(new_book, taken, title, first_category()[1], "abc")
    before = [db_rows("SELECT * FROM %s ORDER BY rowid" % t) for t in ("bookInfo", "bookconcernList")]
    press_button(new_book, "保存")
    answer_message(app, "编号为%s的书籍已经存在,请换一个书籍编号!" % taken)
    expect("the store after a book number in use was refused",
           [db_rows("SELECT * FROM %s ORDER BY rowid" % t) for t in ("bookInfo", "bookconcernList")], before)
    type_into_box(new_book, "书籍编号:", "E2E-'%_2")
    press_button(new_book, "保存")
    answer_message(app, "新书添加完毕")
    expect("title and price as stored", db_row("SELECT 书籍名称, 书籍价格 FROM bookInfo WHERE 书籍编号 = ?", ("E2E-'%_2",)),
           (title, "abc"))
    close_window(app, new_book, "添加新书")
    print("e2e: a book number in use refused with the store unchanged; a title with a quote, % and _ and"
          " letters for the price stored as typed")


def delete_every_book(app):
    """全部删除 in 书库管理 asks first, then deletes every book and keeps the loans."""
    # The menu bar's 书库管理 and the item of that name in its menu share the caption.
    press(wait_for("menu item 书库管理", lambda: next(iter(pyatspi.findAllDescendants(
        app, lambda acc: acc is not None and acc.getRoleName() == "menu item" and acc.name == "书库管理"
        and acc.parent is not None and acc.parent.getRoleName() == "popup menu")), None)))
    shelf = wait_for("书库管理 window", lambda: find(app, "frame", "书库管理"))
    counts = "SELECT (SELECT count(*) FROM bookInfo), (SELECT count(*) FROM lentInfo)"
    books, loans = db_row(counts)
    if books == 0 or len(table_rows(shelf)[1]) == 0:
        fail("书库管理 shows no books before deleting")
    press_button(shelf, "全部删除")
    answer_message(app, "是否真的要删除所有的书籍信息?")
    answer_message(app, "所有的书籍信息已删除!")
    expect("books and loans after 全部删除", db_row(counts), (0, loans))
    wait_for("an empty book list", lambda: len(table_rows(shelf)[1]) == 0)
    close_window(app, shelf, "书库管理", "退出")
    print("e2e: 全部删除 deleted %d books, the %d loans kept" % (books, loans))


def see_overdue_loans(app):
    """Opens 数据与报表 > 超期催还: its grid lists the store's overdue loans, by reader, most days over first."""
    today = datetime.date.today()
    fine_per_day = db_row("SELECT 罚款 FROM basicSet")[0] or 0
    day = lambda d: "%d/%d/%d" % (d.year, d.month, d.day)
    known = []
    for loan, reader, name, book, lent, days in db_rows(
            "SELECT l.rowid, l.读者编号, r.读者姓名, l.书籍编号, l.借书日期, t.借出天数 FROM lentInfo l"
            " JOIN bookInfo b ON b.书籍编号 = l.书籍编号 JOIN bookType t ON t.类别代码 = b.类别代码"
            " LEFT JOIN readerInfo r ON r.读者编号 = l.读者编号 WHERE l.还书日期 IS NULL AND t.借出天数 IS NOT NULL"):
        due = datetime.date.fromisoformat(lent) + datetime.timedelta(days=days)
        if due < today:
            over = (today - due).days
            known.append((reader, -over, loan, (reader, name or "", book, day(due), str(over),
                                                "%.15g" % (fine_per_day * over)), fine_per_day * over))
    expected = [row for *_, row, _ in sorted(known)]
    unknown = db_row("SELECT count(*) FROM lentInfo WHERE 还书日期 IS NULL")[0] - db_row(
        "SELECT count(*) FROM lentInfo l JOIN bookInfo b ON b.书籍编号 = l.书籍编号 JOIN bookType t"
        " ON t.类别代码 = b.类别代码 WHERE l.还书日期 IS NULL AND t.借出天数 IS NOT NULL")[0]
    window = open_window(app, "超期催还", "超期催还")
    rows = wait_for("the whole overdue list", lambda: (lambda r: r if len(r) == len(expected) + unknown else None)(
        table_rows(window)[1]))
    columns = ("读者编号", "读者姓名", "书籍编号", "应还日期", "超出天数", "应付罚款")
    expect("超期催还 lists", [tuple(row[c] for c in columns) for row in rows[:len(expected)]], expected)
    expect("超期催还's loans of unknown category", [row["应还日期"] for row in rows[len(expected):]], ["类别不详"] * unknown)
    totals = "读者 %d 人, 图书 %d 册, 罚款合计 %.15g 元" % (len({row[0] for row in expected}), len(expected),
                                                      round(sum(fine for *_, fine in known), 4))
    wait_for("totals " + totals, lambda: find(window, "label", totals))
    close_window(app, window, "超期催还")
    print("e2e: 超期催还 listed the %d overdue loans of the store" % len(expected))


def sign_in():
    """Signs in with the default account; the program and its main window."""
    app = wait_for("the program on the accessibility bus", application)
    logon = wait_for("sign-in window", lambda: find(app, "frame", "登录") or find(app, "dialog", "登录"))
    type_into(wait_for("password box", lambda: find(logon, "password text")), "739")
    press_button(logon, "确定")
    return app, wait_for("main window titled " + TITLE, lambda: find(app, "frame", TITLE))


def reader_without_loans_and_free_book():
    reader = db_row("SELECT 读者编号 FROM readerInfo WHERE 读者编号 NOT IN (SELECT 读者编号 FROM lentInfo"
                    " WHERE 还书日期 IS NULL) ORDER BY 读者编号 LIMIT 1")[0]
    book, title = db_row("SELECT 书籍编号, 书籍名称 FROM bookInfo WHERE 是否借出 = 0 ORDER BY 书籍编号 LIMIT 1")
    return reader, book, title


def main():
    app, main_window = sign_in()

    # Lend a book to a reader without loans.
    reader, book, title = reader_without_loans_and_free_book()
    lend(app, main_window, reader, book, title)
    wait_for("count label", lambda: find(main_window, "label", "已借图书册数:1"))
    print("e2e: signed in, lent %s to reader %s" % (book, reader))

    take_back_overdue_book(app, main_window)
    register_book_and_lend_it(app, main_window, reader)
    find_book_and_loan(app, reader, NEW_BOOK)
    added = add_reader_from_the_desk(app, main_window)
    change_reader_from_the_menu(app, added)
    set_rules_and_see_them_at_the_desk(app, main_window, reader)
    refuse_bad_input(app)
    see_overdue_loans(app)
    delete_every_book(app)


if __name__ == "__main__":
    main()
