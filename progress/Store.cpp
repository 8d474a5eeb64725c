#include "Store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "Answer.h"
#include "Fsrs.h"

namespace progress {

namespace {

constexpr int kBusyTimeoutMs = 2000;

const char kSchema[] =
    "CREATE TABLE answers ("
    " id INTEGER PRIMARY KEY,"
    " time TEXT NOT NULL,"      // UTC, 2026-12-09T08:15:00Z
    " word TEXT NOT NULL,"      // the word's key
    " headword TEXT NOT NULL,"  // as the file holds it
    " page TEXT NOT NULL,"      // latin, english or parts
    " correct INTEGER NOT NULL,"
    " typed TEXT NOT NULL,"
    " file TEXT NOT NULL);"
    "CREATE INDEX answers_by_time ON answers (time, word, page, correct);"
    "CREATE TABLE cards ("
    " page TEXT NOT NULL,"
    " word TEXT NOT NULL,"
    " headword TEXT NOT NULL,"
    " stability REAL NOT NULL,"  // days
    " difficulty REAL NOT NULL,"
    " first_answer TEXT NOT NULL,"
    " first_day TEXT NOT NULL,"  // study days, 2026-12-09
    " last_answer TEXT NOT NULL,"
    " last_day TEXT NOT NULL,"
    " due TEXT NOT NULL,"
    " answers INTEGER NOT NULL,"
    " lapses INTEGER NOT NULL,"
    " PRIMARY KEY (page, word)) WITHOUT ROWID;";

const char kCardColumns[] =
    "page, word, headword, stability, difficulty, first_answer, last_answer, last_day, due, "
    "answers, lapses";

// A prepared statement that finalizes itself.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        m_rc = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr);
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Ok() const { return m_rc == SQLITE_OK; }
    int Code() const { return m_rc; }
    sqlite3_stmt* get() const { return m_stmt; }

    void Bind(int i, const std::string& text) {
        sqlite3_bind_text(m_stmt, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    void Bind(int i, double value) { sqlite3_bind_double(m_stmt, i, value); }
    void Bind(int i, int value) { sqlite3_bind_int(m_stmt, i, value); }

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step() { return m_rc = sqlite3_step(m_stmt); }

    std::string Text(int i) const { return std::string(View(i)); }
    // Into `out`, whose buffer a loop over many rows keeps rather than allocating one a column.
    void Text(int i, std::string& out) const { out.assign(View(i)); }
    // Valid until the next step or the next read of the same column.
    std::string_view View(int i) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i));
        return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, i)))
                 : std::string_view();
    }
    double Real(int i) const { return sqlite3_column_double(m_stmt, i); }
    int Int(int i) const { return sqlite3_column_int(m_stmt, i); }

private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_rc = SQLITE_OK;
};

Seconds ParseTime(std::string_view text) {
    const auto day = ParseDay(text.substr(0, 10));
    if (!day || text.size() < 19) return 0;
    // Two digits each in the store's own text; anything else is read as atoi reads it.
    const auto field = [&](std::size_t at) {
        const char a = text[at];
        const char b = text[at + 1];
        if (a >= '0' && a <= '9' && b >= '0' && b <= '9') return (a - '0') * 10 + (b - '0');
        return std::atoi(std::string(text.substr(at)).c_str());
    };
    const int h = field(11);
    const int m = field(14);
    const int s = field(17);
    return static_cast<Seconds>(*day) * 86400 + h * 3600 + m * 60 + s;
}

int ParseDayOr(std::string_view text, int fallback) {
    const auto day = ParseDay(text);
    return day ? *day : fallback;
}

// Into `card`, so that a pass over every card reuses one card's strings.
void ReadCard(const Statement& row, Card& card) {
    row.Text(0, card.page);
    row.Text(1, card.word);
    row.Text(2, card.headword);
    card.stability = row.Real(3);
    card.difficulty = row.Real(4);
    card.firstAnswer = ParseTime(row.View(5));
    card.lastAnswer = ParseTime(row.View(6));
    card.lastDay = ParseDayOr(row.View(7), 0);
    card.dueDay = ParseDayOr(row.View(8), 0);
    card.answers = row.Int(9);
    card.lapses = row.Int(10);
}

Card ReadCard(const Statement& row) {
    Card card;
    ReadCard(row, card);
    return card;
}

std::uint32_t BigEndian(const unsigned char* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = value << 8 | p[i];
    return value;
}

// Whether the file at `path` can be handed to SQLite without risk to it: empty, or a database
// whose header is whole and whose pages are all there. SQLite would take a file cut short as a
// smaller database and might write into what is left; a file that is not a database at all it
// refuses only at the first read. Both are the student's bytes, so they are judged here first.
bool LooksWhole(const std::string& path, StoreProblem& problem) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return true;  // SQLite's open says why
    // The header is read before the size is taken: a checkpoint by another program in between
    // only grows the file, so a whole store never looks cut short.
    unsigned char header[100] = {};
    const ssize_t got = ::pread(fd, header, sizeof header, 0);
    struct stat st = {};
    const bool statted = ::fstat(fd, &st) == 0;
    ::close(fd);
    if (!statted || st.st_size == 0) return true;

    static const char kMagic[] = "SQLite format 3";
    bool whole = got == static_cast<ssize_t>(sizeof header) &&
                 std::memcmp(header, kMagic, sizeof kMagic) == 0;
    if (whole) {
        std::uint32_t pageSize = BigEndian(header + 16, 2);
        if (pageSize == 1) pageSize = 65536;
        const std::uint32_t pages = BigEndian(header + 28, 4);
        const bool sizeValid = pages != 0 && BigEndian(header + 24, 4) == BigEndian(header + 92, 4);
        // A write-ahead log that holds frames may not have been copied back yet after a kill:
        // the header can then name pages the file has not grown to, and SQLite mends that.
        struct stat wal = {};
        const bool walHolds = ::stat((path + "-wal").c_str(), &wal) == 0 && wal.st_size > 0;
        if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0) whole = false;
        if (whole && sizeValid && !walHolds &&
            static_cast<std::uint64_t>(st.st_size) < static_cast<std::uint64_t>(pages) * pageSize) {
            whole = false;
        }
    }
    if (!whole) {
        problem.kind = StoreProblem::kDamaged;
        problem.path = path;
    }
    return whole;
}

bool MakeFolders(const std::string& folder, StoreProblem& problem) {
    std::string made;
    std::size_t at = 0;
    while (at != std::string::npos) {
        const std::size_t next = folder.find('/', at + 1);
        made = folder.substr(0, next);
        at = next;
        if (made.empty() || made == "/") continue;
        if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) {
            problem.kind = errno == EACCES || errno == EROFS || errno == EPERM
                               ? StoreProblem::kReadOnly
                               : StoreProblem::kCannotOpen;
            problem.path = made;
            problem.detail = std::strerror(errno);
            return false;
        }
    }
    return true;
}

}  // namespace

std::string WordKey(std::string_view headword) { return AnswerKey(headword, LetterCase::kLowered); }

Card NextCard(const std::optional<Card>& before, const Answer& answer) {
    const int day = StudyDay(answer.time);
    const fsrs::Grade grade = answer.correct ? fsrs::Grade::kGood : fsrs::Grade::kAgain;
    Card card;
    std::optional<fsrs::MemoryState> memory;
    int elapsed = 0;
    if (before) {
        card = *before;
        memory = fsrs::MemoryState{before->stability, before->difficulty};
        // A clock put back never makes time run backwards for the model.
        elapsed = std::max(0, day - before->lastDay);
        if (!answer.correct && elapsed > 0) ++card.lapses;
    } else {
        card.word = answer.word;
        card.page = answer.page;
        card.firstAnswer = answer.time;
    }
    const fsrs::MemoryState next = fsrs::NextState(memory, elapsed, grade);
    card.headword = answer.headword;
    card.stability = next.stability;
    card.difficulty = next.difficulty;
    card.lastAnswer = answer.time;
    card.lastDay = day;
    card.dueDay = day + fsrs::IntervalDays(next.stability);
    ++card.answers;
    return card;
}

std::string DefaultStorePath() {
    std::string data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') {
        data = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* user = ::getpwuid(::getuid());
            home = user && user->pw_dir ? user->pw_dir : "/";
        }
        data = std::string(home) + "/.local/share";
    }
    while (data.size() > 1 && data.back() == '/') data.pop_back();
    return data + "/tavrin/progress.sqlite";
}

bool MakeStoreFolder(const std::string& path, StoreProblem& problem) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) return true;
    return MakeFolders(path.substr(0, slash), problem);
}

CProgressStore::~CProgressStore() { Close(); }

void CProgressStore::Close() {
    if (m_db) sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_empty = false;
}

bool CProgressStore::Fail(StoreProblem& problem, int code) {
    problem.path = m_path;
    const int primary = code & 0xff;
    const int system = m_db ? sqlite3_system_errno(m_db) : 0;
    problem.detail = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(code);
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
        problem.kind = StoreProblem::kBusy;
    } else if (primary == SQLITE_FULL || system == ENOSPC || system == EDQUOT) {
        problem.kind = StoreProblem::kDiskFull;
    } else if (primary == SQLITE_READONLY || primary == SQLITE_PERM || primary == SQLITE_AUTH ||
               system == EACCES || system == EROFS || system == EPERM) {
        problem.kind = StoreProblem::kReadOnly;
    } else if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) {
        problem.kind = StoreProblem::kDamaged;
    } else if (primary == SQLITE_CANTOPEN) {
        problem.kind = StoreProblem::kCannotOpen;
        if (system) problem.detail = std::strerror(system);
    } else {
        problem.kind = StoreProblem::kOther;
    }
    return false;
}

bool CProgressStore::OpenToRecord(const std::string& path, StoreProblem& problem) {
    return Open(path, true, problem);
}

bool CProgressStore::OpenToRead(const std::string& path, StoreProblem& problem) {
    return Open(path, false, problem);
}

bool CProgressStore::Open(const std::string& path, bool toRecord, StoreProblem& problem) {
    Close();
    m_path = path;
    problem = StoreProblem{};
    struct stat st = {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            problem = {StoreProblem::kCannotOpen, path, std::strerror(errno)};
            return false;
        }
        if (!toRecord) {
            m_empty = true;
            return true;
        }
        // Made by us, so that the answers are the student's alone; SQLite's own would follow
        // the umask.
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) {
            problem = {errno == EACCES || errno == EROFS || errno == EPERM ? StoreProblem::kReadOnly
                       : errno == ENOSPC || errno == EDQUOT                ? StoreProblem::kDiskFull
                                                            : StoreProblem::kCannotOpen,
                       path, std::strerror(errno)};
            return false;
        }
        if (fd >= 0) ::close(fd);
    }
    if (!LooksWhole(path, problem)) return false;

    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    int rc = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK && !toRecord) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX;
        rc = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
    }
    if (rc != SQLITE_OK) {
        Fail(problem, rc);
        Close();
        return false;
    }
    // SQLite quietly opens a file it may not write for reading only, and its first read would
    // then leave a log and an index beside the student's store that no one removes.
    if (toRecord && sqlite3_db_readonly(m_db, "main") == 1) {
        const bool denied = ::access(path.c_str(), W_OK) != 0;
        problem = {StoreProblem::kReadOnly, path,
                   denied ? std::strerror(errno) : sqlite3_errstr(SQLITE_READONLY)};
        Close();
        return false;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);

    // Only reads until the file is known to be a store of ours.
    int version = 0;
    int tables = 0;
    int ours = 0;
    {
        Statement read(m_db,
                       "SELECT (SELECT user_version FROM pragma_user_version),"
                       " (SELECT count(*) FROM sqlite_master),"
                       " (SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                       "('answers', 'cards'))");
        if (!read.Ok() || read.Step() != SQLITE_ROW) {
            Fail(problem, read.Code());
            Close();
            return false;
        }
        version = read.Int(0);
        tables = read.Int(1);
        ours = read.Int(2);
    }
    if (version > kSchemaVersion) {
        problem = {StoreProblem::kNewer, path, std::to_string(version)};
        Close();
        return false;
    }
    const bool blank = version == 0 && tables == 0;
    if (!blank && (version != kSchemaVersion || ours != 2)) {
        // Someone else's database, or one of ours that lost its tables.
        problem = {StoreProblem::kDamaged, path, {}};
        Close();
        return false;
    }
    if (!toRecord) {
        m_empty = blank;
        return true;
    }

    char* message = nullptr;
    rc = sqlite3_exec(m_db, "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;", nullptr,
                      nullptr, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK) {
        Fail(problem, rc);
        Close();
        return false;
    }
    if (blank) {
        // Another program may be making the schema at this moment: whoever takes the write
        // lock first makes it, the other finds it made.
        rc = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) {
            Statement again(m_db, "SELECT user_version FROM pragma_user_version");
            const bool made = again.Ok() && again.Step() == SQLITE_ROW && again.Int(0) != 0;
            if (!made) {
                const std::string create = std::string(kSchema) + "PRAGMA user_version = " +
                                           std::to_string(kSchemaVersion);
                rc = sqlite3_exec(m_db, create.c_str(), nullptr, nullptr, nullptr);
            }
            if (rc == SQLITE_OK) rc = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
            if (rc != SQLITE_OK) {
                Fail(problem, rc);
                sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
                Close();
                return false;
            }
        } else {
            Fail(problem, rc);
            Close();
            return false;
        }
    }
    return true;
}

bool CProgressStore::Record(const Answer& answer, StoreProblem& problem) {
    problem = StoreProblem{};
    if (!m_db || m_empty) {
        problem = {StoreProblem::kOther, m_path, "not open"};
        return false;
    }
    int rc = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return Fail(problem, rc);

    auto fail = [&](int code) {
        Fail(problem, code);
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    };

    std::optional<Card> before;
    {
        Statement find(m_db, (std::string("SELECT ") + kCardColumns +
                              " FROM cards WHERE page = ?1 AND word = ?2")
                                 .c_str());
        if (!find.Ok()) return fail(find.Code());
        find.Bind(1, answer.page);
        find.Bind(2, answer.word);
        const int step = find.Step();
        if (step == SQLITE_ROW) {
            before = ReadCard(find);
        } else if (step != SQLITE_DONE) {
            return fail(step);
        }
    }
    const Card card = NextCard(before, answer);
    {
        Statement insert(m_db,
                         "INSERT INTO answers (time, word, headword, page, correct, typed, file) "
                         "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
        if (!insert.Ok()) return fail(insert.Code());
        insert.Bind(1, TimeText(answer.time));
        insert.Bind(2, answer.word);
        insert.Bind(3, answer.headword);
        insert.Bind(4, answer.page);
        insert.Bind(5, answer.correct ? 1 : 0);
        insert.Bind(6, answer.typed);
        insert.Bind(7, answer.file);
        if (insert.Step() != SQLITE_DONE) return fail(insert.Code());
    }
    {
        Statement upsert(m_db,
                         "INSERT OR REPLACE INTO cards (page, word, headword, stability, "
                         "difficulty, first_answer, first_day, last_answer, last_day, due, "
                         "answers, lapses) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, "
                         "?12)");
        if (!upsert.Ok()) return fail(upsert.Code());
        upsert.Bind(1, card.page);
        upsert.Bind(2, card.word);
        upsert.Bind(3, card.headword);
        upsert.Bind(4, card.stability);
        upsert.Bind(5, card.difficulty);
        upsert.Bind(6, TimeText(card.firstAnswer));
        upsert.Bind(7, DayText(StudyDay(card.firstAnswer)));
        upsert.Bind(8, TimeText(card.lastAnswer));
        upsert.Bind(9, DayText(card.lastDay));
        upsert.Bind(10, DayText(card.dueDay));
        upsert.Bind(11, card.answers);
        upsert.Bind(12, card.lapses);
        if (upsert.Step() != SQLITE_DONE) return fail(upsert.Code());
    }
    rc = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return fail(rc);
    return true;
}

std::optional<Card> CProgressStore::FindCard(const std::string& word, const std::string& page) {
    if (!m_db || m_empty) return std::nullopt;
    Statement find(
        m_db, (std::string("SELECT ") + kCardColumns + " FROM cards WHERE page = ?1 AND word = ?2")
                  .c_str());
    if (!find.Ok()) return std::nullopt;
    find.Bind(1, page);
    find.Bind(2, word);
    if (find.Step() != SQLITE_ROW) return std::nullopt;
    return ReadCard(find);
}

bool CProgressStore::ForEachCard(const std::string& page,
                                 const std::function<void(const Card&)>& visit,
                                 StoreProblem& problem) {
    problem = StoreProblem{};
    if (m_empty || !m_db) return true;
    const std::string sql = std::string("SELECT ") + kCardColumns + " FROM cards" +
                            (page.empty() ? "" : " WHERE page = ?1") + " ORDER BY word, page";
    Statement each(m_db, sql.c_str());
    if (!each.Ok()) return Fail(problem, each.Code());
    if (!page.empty()) each.Bind(1, page);
    int step = 0;
    Card card;
    while ((step = each.Step()) == SQLITE_ROW) {
        ReadCard(each, card);
        visit(card);
    }
    return step == SQLITE_DONE || Fail(problem, step);
}

bool CProgressStore::ForEachAnswer(const std::function<void(const Answer&)>& visit,
                                   StoreProblem& problem, std::optional<Seconds> since,
                                   bool marksOnly) {
    problem = StoreProblem{};
    if (m_empty || !m_db) return true;
    // A report over a big store reads only what it counts: the rest stays unread on its page.
    std::string sql = "SELECT time, word, headword, page, correct, typed, file FROM answers";
    if (marksOnly) sql = "SELECT time, word, NULL, page, correct FROM answers";
    sql += since ? " WHERE time >= ?1 ORDER BY time" : " ORDER BY id";
    Statement each(m_db, sql.c_str());
    if (!each.Ok()) return Fail(problem, each.Code());
    if (since) each.Bind(1, TimeText(*since));
    int step = 0;
    Answer answer;
    while ((step = each.Step()) == SQLITE_ROW) {
        answer.time = ParseTime(each.View(0));
        each.Text(1, answer.word);
        each.Text(3, answer.page);
        answer.correct = each.Int(4) != 0;
        if (!marksOnly) {
            each.Text(2, answer.headword);
            each.Text(5, answer.typed);
            each.Text(6, answer.file);
        }
        visit(answer);
    }
    return step == SQLITE_DONE || Fail(problem, step);
}

int CProgressStore::CardsStartedOn(const std::string& page, int day) {
    if (!m_db || m_empty) return 0;
    Statement count(m_db, "SELECT count(*) FROM cards WHERE page = ?1 AND first_day = ?2");
    if (!count.Ok()) return 0;
    count.Bind(1, page);
    count.Bind(2, DayText(day));
    return count.Step() == SQLITE_ROW ? count.Int(0) : 0;
}

}  // namespace progress
