#include "core/weather/Epw.h"

#include "core/common/NumberText.h"
#include "core/csv/Csv.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <utility>

namespace Weather {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Offsets after the "Cooling" field; the handbook editions 2009 to 2021 agree on them.
constexpr std::array<std::size_t, 3> kCoolingDryBulb = {3, 5, 7};   // each with its MCWB after it
constexpr std::array<std::size_t, 3> kDehumDewPoint = {17, 20, 23}; // each with HR, MCDB after it
constexpr std::array<double, 3> kPercents = {0.4, 1, 2};

// Thrown inside the reader only, and turned into EpwRead::problem.
struct Refused {
    std::string what;
};

[[noreturn]] void Refuse(std::size_t line, const std::string& what) {
    throw Refused{"is refused at line " + std::to_string(line) + ": " + what};
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

// Header texts in UTF-8 as they are; anything else taken as Latin-1, which older
// files and their comments use.
std::string Text(std::string_view s) {
    s = Trim(s);
    if (Csv::IsUtf8(s)) {
        return std::string(s);
    }
    std::string out;
    out.reserve(s.size() * 2);
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return out;
}

// A field quoted for a message: valid UTF-8, and not the whole of a long one.
std::string Quoted(std::string_view s) {
    constexpr std::size_t kLongest = 40;
    const bool cut = s.size() > kLongest;
    std::string out = "\"";
    out.append(Csv::ToValidUtf8(s.substr(0, kLongest)));
    out.append(cut ? "...\"" : "\"");
    return out;
}

std::optional<double> Number(std::string_view s) {
    s = Trim(s);
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
    }
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    // from_chars also takes "nan" and "inf", which no file means as a number.
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) {
        return std::nullopt;
    }
    return v;
}

std::optional<int> Whole(std::string_view s) {
    s = Trim(s);
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) {
        return std::nullopt;
    }
    return v;
}

// The fields of one line, split at commas; the file has no quoting.
void Split(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = line.find(',', start);
        if (comma == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return;
        }
        fields.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
}

double NeedNumber(const std::vector<std::string_view>& f, std::size_t i, std::size_t line,
                  std::string_view what) {
    const auto v = Number(f[i]);
    if (!v) {
        Refuse(line, std::string(what) + " (field " + std::to_string(i + 1) + ") " + Quoted(f[i]) +
                         " is not a number");
    }
    return *v;
}

int NeedWhole(const std::vector<std::string_view>& f, std::size_t i, std::size_t line,
              std::string_view what, int low, int high) {
    const auto v = Whole(f[i]);
    if (!v) {
        Refuse(line, std::string(what) + " (field " + std::to_string(i + 1) + ") " + Quoted(f[i]) +
                         " is not a whole number");
    }
    if (*v < low || *v > high) {
        Refuse(line, std::string(what) + " " + std::to_string(*v) + " is not " +
                         std::to_string(low) + " to " + std::to_string(high));
    }
    return *v;
}

// What a measured field may hold: the bounds of the format's data dictionary, and
// the mark at and above which the value is missing.
struct Measure {
    const char* what;
    const char* unit;
    double low;
    double high;
    double missingAt;
};

constexpr Measure kDryBulb{"the dry bulb", " °C", -70, 70, kMissingTemperature};
constexpr Measure kDewPoint{"the dew point", " °C", -70, 70, kMissingTemperature};
constexpr Measure kRh{"the relative humidity", " %", 0, 110, kMissingRh};
constexpr Measure kPressure{"the station pressure", " Pa", 31000, 120000, kMissingPressure};

// A measured value: NaN when blank or at the file's missing mark; outside the
// format's bounds it is refused, so every hour read is one the formulas can take.
double Measured(const std::vector<std::string_view>& f, std::size_t i, std::size_t line,
                const Measure& m) {
    if (Trim(f[i]).empty()) {
        return kNaN;
    }
    const double v = NeedNumber(f, i, line, m.what);
    if (v >= m.missingAt) {
        return kNaN;
    }
    if (v < m.low || v > m.high) {
        Refuse(line, std::string(m.what) + " " + NumberText::FormatGeneral(v) + " is outside " +
                         NumberText::FormatGeneral(m.low) + " to " +
                         NumberText::FormatGeneral(m.high) + m.unit);
    }
    return v;
}

std::optional<double> OptionalNumber(const std::vector<std::string_view>& f, std::size_t i) {
    return i < f.size() ? Number(f[i]) : std::nullopt;
}

void ReadLocation(const std::vector<std::string_view>& f, std::size_t line, Station& s) {
    if (f.size() < 10) {
        Refuse(line, "LOCATION has " + std::to_string(f.size()) + " fields where it needs 10");
    }
    s.name = Text(f[1]);
    s.region = Text(f[2]);
    s.country = Text(f[3]);
    s.source = Text(f[4]);
    s.wmo = Text(f[5]);
    s.latitude = NeedNumber(f, 6, line, "the latitude");
    s.longitude = NeedNumber(f, 7, line, "the longitude");
    s.timeZone = NeedNumber(f, 8, line, "the time zone");
    s.elevation = NeedNumber(f, 9, line, "the elevation");
}

std::string EditionOf(std::string_view source) {
    for (std::size_t i = 0; i + 4 <= source.size(); ++i) {
        const std::string_view y = source.substr(i, 4);
        const bool digits = y.find_first_not_of("0123456789") == std::string_view::npos;
        const bool alone =
            (i == 0 || !std::isdigit(static_cast<unsigned char>(source[i - 1]))) &&
            (i + 4 == source.size() || !std::isdigit(static_cast<unsigned char>(source[i + 4])));
        if (digits && alone && (y.starts_with("19") || y.starts_with("20"))) {
            return std::string(y);
        }
    }
    return {};
}

// The stored design data, as far as it can be read; a design line that cannot be
// read is noted, never refused: the hours are what matters.
void ReadDesign(const std::vector<std::string_view>& f, std::size_t line, WeatherFile& file) {
    const auto count = OptionalNumber(f, 1);
    if (count && *count == 0) {
        return;
    }
    const std::string where = "line " + std::to_string(line) + ": DESIGN CONDITIONS ";
    std::size_t cooling = 0;
    for (std::size_t i = 2; i < f.size(); ++i) {
        if (Trim(f[i]) == "Cooling") {
            cooling = i;
            break;
        }
    }
    if (cooling == 0) {
        file.notes.push_back(where + "has no Cooling group; the stored design points are left out");
        return;
    }
    StoredDesign d;
    d.source = f.size() > 2 ? Text(f[2]) : std::string();
    d.edition = EditionOf(d.source);
    for (std::size_t k = 0; k < kPercents.size(); ++k) {
        const auto db = OptionalNumber(f, cooling + kCoolingDryBulb[k]);
        const auto wb = OptionalNumber(f, cooling + kCoolingDryBulb[k] + 1);
        if (db && wb) {
            d.cooling.push_back({kPercents[k], *db, *wb});
        }
        const auto dp = OptionalNumber(f, cooling + kDehumDewPoint[k]);
        const auto hr = OptionalNumber(f, cooling + kDehumDewPoint[k] + 1);
        const auto mcdb = OptionalNumber(f, cooling + kDehumDewPoint[k] + 2);
        if (dp && mcdb) {
            d.dehumidification.push_back({kPercents[k], *dp, hr.value_or(kNaN), *mcdb});
        }
    }
    if (d.cooling.size() < kPercents.size() || d.dehumidification.size() < kPercents.size()) {
        file.notes.push_back(where + "lacks some of the Cooling group's points");
    }
    file.design = std::move(d);
}

std::string Compact(std::string_view s) {
    std::string out;
    for (const char c : s) {
        if (c != ' ' && c != '\t') {
            out.push_back(c);
        }
    }
    return Csv::ToValidUtf8(out);
}

void ReadDataPeriods(const std::vector<std::string_view>& f, std::size_t line, WeatherFile& file) {
    if (f.size() < 7) {
        Refuse(line, "DATA PERIODS has " + std::to_string(f.size()) + " fields where it needs 7");
    }
    file.recordsPerHour = NeedWhole(f, 2, line, "the records an hour", 1, 60);
    file.periodStart = Compact(f[5]);
    file.periodEnd = Compact(f[6]);
}

bool StartsWith(std::string_view line, std::string_view keyword) {
    return line.starts_with(keyword) &&
           (line.size() == keyword.size() || line[keyword.size()] == ',');
}

constexpr int DaysIn(int month) {
    constexpr std::array<int, 12> days = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return days[static_cast<std::size_t>(month - 1)];
}

std::string DateText(int month, int day, int hour) {
    return std::to_string(month) + "/" + std::to_string(day) + " hour " + std::to_string(hour);
}

class Parser {
public:
    explicit Parser(std::string_view bytes) : bytes_(bytes) {}

    WeatherFile Read() {
        if (bytes_.starts_with("\xEF\xBB\xBF")) {
            bytes_.remove_prefix(3);
        }
        std::string_view line;
        if (!NextLine(line) || !StartsWith(line, "LOCATION")) {
            throw Refused{"is not an EPW weather file: line 1 is not its LOCATION line"};
        }
        Split(line, fields_);
        ReadLocation(fields_, line_, file_.station);
        bool haveLine = false;
        while (NextLine(line)) {
            Split(line, fields_);
            if (Whole(fields_[0])) {
                haveLine = true;
                break;
            }
            if (StartsWith(line, "DESIGN CONDITIONS")) {
                ReadDesign(fields_, line_, file_);
            } else if (StartsWith(line, "DATA PERIODS")) {
                ReadDataPeriods(fields_, line_, file_);
            } else if (StartsWith(line, "COMMENTS 1") || StartsWith(line, "COMMENTS 2")) {
                const std::size_t comma = line.find(',');
                const std::string text = Text(line.substr(comma + 1));
                if (!text.empty()) {
                    file_.comments.push_back(text);
                }
            }
        }
        while (haveLine) {
            if (!Trim(line).empty()) {
                ReadRecord();
            }
            haveLine = NextLine(line);
            if (haveLine) {
                Split(line, fields_);
            }
        }
        if (file_.records.empty()) {
            throw Refused{"has no hourly records"};
        }
        Finish();
        return std::move(file_);
    }

private:
    bool NextLine(std::string_view& line) {
        if (pos_ >= bytes_.size()) {
            return false;
        }
        std::size_t end = bytes_.find('\n', pos_);
        if (end == std::string_view::npos) {
            end = bytes_.size();
        }
        line = bytes_.substr(pos_, end - pos_);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        pos_ = end + 1;
        ++line_;
        return true;
    }

    void ReadRecord() {
        const auto& f = fields_;
        if (f.size() < kRecordFields) {
            Refuse(line_, "a record of " + std::to_string(f.size()) +
                              " fields where it needs at least " + std::to_string(kRecordFields));
        }
        Record r;
        r.year = NeedWhole(f, 0, line_, "the year", -9999, 9999);
        const int month = NeedWhole(f, 1, line_, "the month", 1, 12);
        const int day = NeedWhole(f, 2, line_, "the day", 1, DaysIn(month));
        const int hour = NeedWhole(f, 3, line_, "the hour", 1, 24);
        r.minute = static_cast<std::uint8_t>(NeedWhole(f, 4, line_, "the minute", 0, 60));
        r.month = static_cast<std::uint8_t>(month);
        r.day = static_cast<std::uint8_t>(day);
        r.hour = static_cast<std::uint8_t>(hour);
        const int key = (month * 32 + day) * 25 + hour;
        if (key < lastKey_) {
            Refuse(line_, DateText(month, day, hour) + " comes after " + lastDate_ +
                              ": the records run backwards");
        }
        if (key == lastKey_ && ++inHour_ > file_.recordsPerHour) {
            Refuse(line_, DateText(month, day, hour) + " has more than the " +
                              std::to_string(file_.recordsPerHour) +
                              " record(s) an hour that DATA PERIODS gives");
        }
        if (key != lastKey_) {
            inHour_ = 1;
            lastKey_ = key;
            lastDate_ = DateText(month, day, hour);
        }
        r.dryBulb = Measured(f, 6, line_, kDryBulb);
        r.dewPoint = Measured(f, 7, line_, kDewPoint);
        r.rh = Measured(f, 8, line_, kRh);
        r.pressure = Measured(f, 9, line_, kPressure);
        file_.records.push_back(r);
    }

    void Finish() {
        const double w = file_.Weight();
        for (const Record& r : file_.records) {
            file_.missing.dryBulb += std::isnan(r.dryBulb) ? w : 0;
            file_.missing.dewPoint += std::isnan(r.dewPoint) ? w : 0;
            file_.missing.rh += std::isnan(r.rh) ? w : 0;
            file_.missing.pressure += std::isnan(r.pressure) ? w : 0;
        }
        const double hours = file_.Hours();
        if (hours < 8760) {
            file_.notes.push_back("has " + NumberText::FormatGeneral(hours) +
                                  " hours, fewer than a year's 8760");
        }
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::size_t line_ = 0;
    std::vector<std::string_view> fields_;
    WeatherFile file_;
    int lastKey_ = 0;
    int inHour_ = 0;
    std::string lastDate_;
};

} // namespace

double WeatherFile::MeanPressureKPa() const {
    double sum = 0;
    std::size_t n = 0;
    for (const Record& r : records) {
        if (!std::isnan(r.pressure)) {
            sum += r.pressure;
            ++n;
        }
    }
    return n == 0 ? kNaN : sum / static_cast<double>(n) / 1000;
}

EpwRead ReadEpw(std::string_view bytes) {
    if (bytes.size() > kEpwMaxBytes) {
        return {std::nullopt, "is larger than the " + std::to_string(kEpwMaxBytes >> 20) +
                                  " MB a weather file may have"};
    }
    try {
        Parser parser(bytes);
        return {parser.Read(), {}};
    } catch (const Refused& r) {
        return {std::nullopt, r.what};
    }
}

EpwRead ReadEpwFile(const std::filesystem::path& path, bool* cannotOpen) {
    std::ifstream in(path, std::ios::binary);
    if (cannotOpen) {
        *cannotOpen = !in.is_open();
    }
    if (!in) {
        return {std::nullopt, "cannot be opened"};
    }
    // In pieces, so that a small file costs no more than itself.
    std::string bytes;
    std::array<char, 1 << 16> piece;
    while (bytes.size() <= kEpwMaxBytes && in) {
        in.read(piece.data(), piece.size());
        bytes.append(piece.data(), static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        if (cannotOpen) {
            *cannotOpen = true;
        }
        return {std::nullopt, "cannot be read"};
    }
    return ReadEpw(bytes);
}

std::string EpwProblemMessage(std::string_view fileName, std::string_view problem) {
    return "The weather file \"" + Csv::ToValidUtf8(fileName) + "\" " + std::string(problem);
}

std::string StationLine(const Station& s) {
    std::string out = s.name;
    for (const std::string* part : {&s.region, &s.country}) {
        if (!part->empty() && *part != "-") {
            out += ", " + *part;
        }
    }
    auto degrees = [](double v, const char* positive, const char* negative) {
        return NumberText::FormatGeneral(std::fabs(v)) + "° " + (v < 0 ? negative : positive);
    };
    out += " (WMO " + s.wmo + ", " + degrees(s.latitude, "N", "S") + " " +
           degrees(s.longitude, "E", "W") + ", " + NumberText::FormatGeneral(s.elevation) + " m";
    if (!s.source.empty()) {
        out += ", " + s.source;
    }
    return out + ")";
}

} // namespace Weather
