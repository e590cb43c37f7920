#include "gui/report/ReportDocument.h"

#include "gui/report/ChartPainter.h"

#include <QAbstractTextDocumentLayout>
#include <QDateTime>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextObjectInterface>
#include <QTextTable>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

// Who the document says it is from; the program names itself as its creator.
constexpr char kAuthor[] = "Varnel";

const QColor kHeading(0, 0, 160);
const QColor kHeaderCell(232, 232, 240);
const QColor kRule(150, 150, 150);

constexpr int kChartObject = QTextFormat::UserObject + 1;
constexpr int kYearCurveObject = QTextFormat::UserObject + 2;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QFont ReportFont(double points, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    // No ligatures: text copied from the PDF must read "fi", not one glyph.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

QTextCharFormat CharFormat(double points, bool bold = false, QColor colour = Qt::black) {
    QTextCharFormat format;
    format.setFont(ReportFont(points, bold));
    format.setForeground(colour);
    return format;
}

// The chart as one object in the flow of the text, drawn by the painter that
// draws the page.
class ChartObject : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    ChartObject(const CalcReport::ChartData& data, QSizeF size) : m_size(size) {
        m_chart.SetData(data);
    }

    QSizeF intrinsicSize(QTextDocument*, int, const QTextFormat&) override { return m_size; }
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                    const QTextFormat&) override {
        // The page above the one it stands on only touches it: nothing of it
        // goes there, not even clipped away.
        if (painter->hasClipping() && !painter->clipBoundingRect().intersects(rect)) {
            return;
        }
        m_chart.Paint(*painter, rect);
    }

private:
    ChartPainter m_chart;
    QSizeF m_size;
};

// The year's load-duration curve, likewise.
class YearCurveObject : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    YearCurveObject(const DurationCurveData& data, QSizeF size) : m_data(data), m_size(size) {}

    QSizeF intrinsicSize(QTextDocument*, int, const QTextFormat&) override { return m_size; }
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                    const QTextFormat&) override {
        if (painter->hasClipping() && !painter->clipBoundingRect().intersects(rect)) {
            return;
        }
        PaintDurationCurve(*painter, rect, m_data);
    }

private:
    const DurationCurveData& m_data;
    QSizeF m_size;
};

// A heading with the table it heads, if it heads one.
struct Section {
    QTextBlock heading;
    QTextTable* table = nullptr;
};

// Between two columns of a table, in the layout's screen pixels: about two
// blanks of its text.
constexpr double kColumnGap = 8;

// Writes the report into a document laid out for its paint device. Fonts are
// sized in points; the layout scales spaces from screen pixels to the device.
class Writer {
public:
    explicit Writer(QTextDocument& doc) : m_cursor(&doc) {}

    void Paragraph(const QString& text, const QTextCharFormat& format, double spaceBefore = 0,
                   double spaceAfter = 0) {
        QTextBlockFormat block;
        block.setTopMargin(spaceBefore);
        block.setBottomMargin(spaceAfter);
        if (m_first) {
            m_cursor.setBlockFormat(block);
            m_cursor.setBlockCharFormat(format);
            m_first = false;
        } else {
            m_cursor.insertBlock(block, format);
        }
        m_cursor.insertText(text, format);
    }

    void Heading(const QString& text) {
        Paragraph(text, CharFormat(11, true, kHeading), 10, 3);
        m_sections.push_back({m_cursor.block(), nullptr});
    }

    const QList<Section>& Sections() const { return m_sections; }

    // widths: the columns' shares of the page in percent; by default the
    // first column, of captions, wider than the even rest.
    void Table(const CalcReport::Table& table, const QList<double>& widths = {}) {
        Heading(Q(table.heading));
        const int columns = int(table.columns.size());
        QTextTableFormat format;
        // No rules: the shaded header row and the columns carry the table. The
        // header row comes again on each page a table runs onto.
        format.setBorder(0);
        format.setCellPadding(0);
        format.setCellSpacing(0);
        format.setHeaderRowCount(1);
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        // The first column holds the captions, the widest texts. A table of
        // many figures gives its columns even shares, wide enough for their
        // headings' longest words and for "No. HX 100" on one line.
        QList<QTextLength> lengths;
        const bool wide = columns > 4;
        const double first = wide ? 16 : 55;
        const double rest = (100 - first) / std::max(1, columns - 1);
        for (int i = 0; i < columns; ++i) {
            const double share = i < widths.size() ? widths[i] : i == 0 ? first : rest;
            lengths << QTextLength(QTextLength::PercentageLength, share);
        }
        format.setColumnWidthConstraints(lengths);
        QTextTable* grid = m_cursor.insertTable(int(table.rows.size()) + 1, columns, format);
        m_sections.back().table = grid;
        const QTextCharFormat header = CharFormat(9, true);
        const QTextCharFormat cell = CharFormat(9);
        for (int r = 0; r <= int(table.rows.size()); ++r) {
            for (int c = 0; c < columns; ++c) {
                // Room between the columns: headings side by side must not
                // read as one ("No. HX 100 No. HX 160").
                QTextTableCell at = grid->cellAt(r, c);
                QTextTableCellFormat padded = at.format().toTableCellFormat();
                padded.setTopPadding(2);
                padded.setBottomPadding(2);
                padded.setLeftPadding(c == 0 ? 2 : kColumnGap / 2);
                padded.setRightPadding(c == columns - 1 ? 2 : kColumnGap / 2);
                if (r == 0) {
                    padded.setBackground(kHeaderCell);
                }
                at.setFormat(padded);
            }
        }
        for (int c = 0; c < columns; ++c) {
            grid->cellAt(0, c).firstCursorPosition().insertText(Q(table.columns[std::size_t(c)]),
                                                                header);
        }
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            const auto& row = table.rows[r];
            for (int c = 0; c < columns && std::size_t(c) < row.size(); ++c) {
                grid->cellAt(int(r) + 1, c)
                    .firstCursorPosition()
                    .insertText(Q(row[std::size_t(c)]), cell);
            }
        }
        m_cursor.movePosition(QTextCursor::End);
    }

    void Object(int type, const QTextCharFormat& base) {
        QTextCharFormat format = base;
        format.setObjectType(type);
        QTextBlockFormat block;
        block.setTopMargin(4);
        m_cursor.insertBlock(block);
        m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
    }

private:
    QTextCursor m_cursor;
    bool m_first = true;
    QList<Section> m_sections;
};

// The headings, each with what follows it.
QList<Section> Fill(QTextDocument& doc, const ReportData& report) {
    const CalcReport::Content& c = report.content;
    // Laid out once, when the whole text is in, not after every cell.
    QTextCursor edit(&doc);
    edit.beginEditBlock();
    Writer out(doc);
    out.Paragraph(Q(c.title), CharFormat(18, true), 0, 2);
    if (!c.jobTitle.empty()) {
        out.Paragraph(Q(c.jobTitle), CharFormat(13, true), 0, 2);
    }
    out.Paragraph(Q(c.calculation), CharFormat(12, true, kHeading), 0, 4);
    const QTextCharFormat plain = CharFormat(9);
    out.Paragraph(QStringLiteral("Created: %1").arg(Q(c.created)), plain);
    out.Paragraph(QStringLiteral("Program: %1").arg(Q(c.program)), plain);
    if (!c.designLocation.empty()) {
        out.Paragraph(QStringLiteral("Design weather: %1").arg(Q(c.designLocation)), plain);
    }
    if (!report.changedEntries.empty()) {
        out.Paragraph(Q(report.changedEntries), CharFormat(9, true));
    }
    for (const CalcReport::Table& table : c.tables) {
        out.Table(table);
    }
    out.Heading(QStringLiteral("Warnings"));
    if (c.warnings.empty()) {
        out.Paragraph(QStringLiteral("The checks raised no warning."), plain);
    }
    for (const std::string& warning : c.warnings) {
        out.Paragraph(Q(warning), plain, 0, 3);
    }
    if (!c.noUnitsReason.empty()) {
        out.Paragraph(Q(c.noUnitsReason), plain, 0, 3);
    }
    out.Heading(QStringLiteral("Method"));
    const QTextCharFormat note = CharFormat(8);
    for (const std::string& text : c.notes) {
        out.Paragraph(Q(text), note, 0, 3);
    }
    out.Heading(QStringLiteral("Psychrometric Chart"));
    out.Object(kChartObject, plain);
    for (const CalcReport::Table& table : report.yearTables) {
        out.Table(table);
    }
    if (!report.yearCurve.points.empty()) {
        out.Heading(QStringLiteral("Load-Duration Curve"));
        out.Object(kYearCurveObject, plain);
    }
    edit.endEditBlock();
    return out.Sections();
}

// A heading left alone at the foot of a page goes over to the next, where
// what it heads begins; so does a table that would break but fits on a page
// of its own, with its heading. Section by section from the top, as each
// move shifts what follows.
void KeepSectionsTogether(QTextDocument& doc, const QList<Section>& sections, double pageHeight) {
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    // Where a block's first line stands: a line that did not fit has been
    // moved down to the next page, inside its block.
    auto pageOf = [layout, pageHeight](const QTextBlock& block) {
        const QTextLayout* lines = block.layout();
        const double first = lines->lineCount() > 0 ? lines->lineAt(0).y() : 0;
        // Half a unit of slack: a moved line starts right on the page's top,
        // which the sum may miss by a rounding error.
        return int((layout->blockBoundingRect(block).top() + first + 0.5) / pageHeight);
    };
    auto lastPageOf = [layout, pageHeight](QTextTable* table) {
        return int((layout->frameBoundingRect(table).bottom() - 0.5) / pageHeight);
    };
    auto breakBefore = [](const QTextBlock& heading, bool on) {
        QTextBlockFormat format = heading.blockFormat();
        format.setPageBreakPolicy(on ? QTextFormat::PageBreak_AlwaysBefore
                                     : QTextFormat::PageBreak_Auto);
        QTextCursor(heading).setBlockFormat(format);
    };
    for (const Section& section : sections) {
        const QTextBlock next = section.heading.next();
        const int page = pageOf(section.heading);
        if (next.isValid() && pageOf(next) > page) {
            breakBefore(section.heading, true);
            continue;
        }
        if (section.table && lastPageOf(section.table) > page) {
            breakBefore(section.heading, true);
            // Longer than a page: it breaks where it stood, its header row
            // repeated on the next page.
            if (lastPageOf(section.table) > pageOf(section.heading)) {
                breakBefore(section.heading, false);
            }
        }
    }
}

QByteArray XmpMetadata(const QString& title, const QString& creator) {
    const QString xmp = QStringLiteral(
        "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>\n"
        "<x:xmpmeta xmlns:x='adobe:ns:meta/'>\n"
        "<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>\n"
        "<rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/'"
        " xmlns:xmp='http://ns.adobe.com/xap/1.0/'>\n"
        "<dc:title><rdf:Alt><rdf:li xml:lang='x-default'>%1</rdf:li></rdf:Alt></dc:title>\n"
        "<dc:creator><rdf:Seq><rdf:li>%2</rdf:li></rdf:Seq></dc:creator>\n"
        "<xmp:CreatorTool>%3</xmp:CreatorTool>\n"
        "<xmp:CreateDate>%4</xmp:CreateDate>\n"
        "</rdf:Description>\n"
        "</rdf:RDF>\n"
        "</x:xmpmeta>\n"
        "<?xpacket end='w'?>");
    return xmp
        .arg(title.toHtmlEscaped(), QString::fromLatin1(kAuthor).toHtmlEscaped(),
             creator.toHtmlEscaped(), QDateTime::currentDateTimeUtc().toString(Qt::ISODate))
        .toUtf8();
}

// The page's body above the footer, in the device's units.
struct PageFrame {
    explicit PageFrame(QPagedPaintDevice* device)
        : width(device->width()), footerFont(ReportFont(7.5)),
          footerHeight(2.2 * QFontMetricsF(footerFont, device).height()),
          bodyHeight(device->height() - footerHeight) {}

    double width;
    QFont footerFont;
    double footerHeight;
    double bodyHeight;
};

// One document laid out on the device's pages: a room's report, or the cover.
class ReportPart {
public:
    ReportPart(QPagedPaintDevice* device, const PageFrame& frame) : m_frame(frame) {
        m_doc.documentLayout()->setPaintDevice(device);
        m_doc.setDefaultFont(ReportFont(9));
        m_doc.setDocumentMargin(0);
        m_doc.setPageSize(QSizeF(frame.width, frame.bodyHeight));
    }

    void AddChart(const CalcReport::ChartData& data) {
        m_chart = std::make_unique<ChartObject>(
            data, QSizeF(m_frame.width, std::min(m_frame.width * 0.66, m_frame.bodyHeight * 0.9)));
        m_doc.documentLayout()->registerHandler(kChartObject, m_chart.get());
    }

    void AddYearCurve(const DurationCurveData& data) {
        m_curve = std::make_unique<YearCurveObject>(
            data, QSizeF(m_frame.width, std::min(m_frame.width * 0.55, m_frame.bodyHeight * 0.8)));
        m_doc.documentLayout()->registerHandler(kYearCurveObject, m_curve.get());
    }

    QTextDocument& Doc() { return m_doc; }
    int Pages() const { return m_doc.pageCount(); }

    void Paint(QPainter& painter, int page) const {
        const double top = page * m_frame.bodyHeight;
        painter.save();
        painter.translate(0, -top);
        painter.setClipRect(QRectF(0, top, m_frame.width, m_frame.bodyHeight));
        // A line that starts right at the page's foot has been moved to the
        // next page: the layout draws a line that touches its clip, and one
        // drawn here, though clipped away, would still be in the PDF's text.
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, top, m_frame.width, m_frame.bodyHeight - 1);
        m_doc.documentLayout()->draw(&painter, context);
        painter.restore();
    }

private:
    const PageFrame& m_frame;
    QTextDocument m_doc;
    std::unique_ptr<ChartObject> m_chart;
    std::unique_ptr<YearCurveObject> m_curve;
};

void PaintFooter(QPainter& painter, QPagedPaintDevice* device, const PageFrame& frame,
                 const QString& text, int page, int pages) {
    const double width = frame.width;
    const double bodyHeight = frame.bodyHeight;
    const double footerHeight = frame.footerHeight;
    painter.setFont(frame.footerFont);
    painter.setPen(QPen(kRule, 0.5 * device->logicalDpiY() / 72.0));
    painter.drawLine(QPointF(0, bodyHeight + footerHeight * 0.3),
                     QPointF(width, bodyHeight + footerHeight * 0.3));
    painter.setPen(Qt::black);
    const QRectF footer(0, bodyHeight + footerHeight * 0.4, width, footerHeight * 0.6);
    painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.drawText(footer, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages));
}

// The project's cover, then its summary and totals on the pages after it; the
// sections after the summary, which may move.
QList<Section> FillCover(QTextDocument& doc, const ProjectReport::Content& c) {
    QTextCursor edit(&doc);
    edit.beginEditBlock();
    Writer out(doc);
    out.Paragraph(Q(c.title), CharFormat(18, true), 0, 2);
    if (!c.projectTitle.empty()) {
        out.Paragraph(Q(c.projectTitle), CharFormat(13, true), 0, 8);
    }
    const QTextCharFormat plain = CharFormat(10);
    const std::pair<const char*, const std::string*> fields[] = {
        {"Client", &c.client},
        {"Site", &c.site},
        {"Reference", &c.reference},
        {"Design weather", &c.designWeather},
    };
    for (const auto& [caption, text] : fields) {
        if (!text->empty()) {
            out.Paragraph(QStringLiteral("%1: %2").arg(QLatin1String(caption), Q(*text)), plain, 0,
                          2);
        }
    }
    out.Paragraph(QStringLiteral("Created: %1").arg(Q(c.created)), plain, 6, 2);
    out.Paragraph(QStringLiteral("Program: %1").arg(Q(c.program)), plain, 0, 2);
    // Room names and the outcome's message are the long texts; the figures
    // and sizes need only their headings' words.
    out.Table(c.summary, {14, 10, 13, 10, 11, 8, 8, 26});
    // The summary begins the page after the cover.
    QTextBlock heading = out.Sections().back().heading;
    QTextBlockFormat format = heading.blockFormat();
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    QTextCursor(heading).setBlockFormat(format);
    out.Table(c.totals);
    if (!c.leftOut.empty()) {
        out.Paragraph(Q(c.leftOut), CharFormat(9, true), 6, 0);
    }
    edit.endEditBlock();
    return out.Sections().mid(1);
}

// A room whose calculation did not complete: its name and why.
void FillNotCompleted(QTextDocument& doc, const ProjectReport::RoomReport& room) {
    QTextCursor edit(&doc);
    edit.beginEditBlock();
    Writer out(doc);
    out.Paragraph(Q(CalcReport::kTitle), CharFormat(18, true), 0, 2);
    out.Paragraph(Q(room.name), CharFormat(13, true), 0, 2);
    out.Paragraph(Q(room.calculation), CharFormat(12, true, kHeading), 0, 4);
    out.Paragraph(QStringLiteral("This room's calculation did not complete, and its units are "
                                 "left out of the project's totals: %1")
                      .arg(Q(room.notCompleted)),
                  CharFormat(9));
    edit.endEditBlock();
}

// Written beside the target and renamed over it only when whole.
template <typename Render>
bool SavePdf(const QString& path, const QString& title, const QString& creator, Render render,
             QString* problem) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (problem) {
            *problem = file.errorString();
        }
        return false;
    }
    bool painted = false;
    {
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setCreator(creator);
        writer.setDocumentXmpMetadata(XmpMetadata(title, creator));
        writer.setPageSize(ReportPageSize());
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        painted = render(&writer);
    }
    if (!painted) {
        file.cancelWriting();
        if (problem) {
            *problem = QStringLiteral("the page could not be drawn");
        }
        return false;
    }
    if (!file.commit()) {
        if (problem) {
            *problem = file.errorString();
        }
        return false;
    }
    return true;
}

} // namespace

QPageSize ReportPageSize(const QLocale& locale) {
    if (locale.measurementSystem() == QLocale::ImperialUSSystem) {
        return QPageSize(QPageSize::Letter);
    }
    switch (locale.territory()) {
    case QLocale::UnitedStates:
    case QLocale::Canada:
    case QLocale::Mexico:
    case QLocale::Chile:
    case QLocale::Colombia:
    case QLocale::CostaRica:
    case QLocale::DominicanRepublic:
    case QLocale::ElSalvador:
    case QLocale::Guatemala:
    case QLocale::Nicaragua:
    case QLocale::Panama:
    case QLocale::Philippines:
    case QLocale::PuertoRico:
    case QLocale::Venezuela:
        return QPageSize(QPageSize::Letter);
    default:
        return QPageSize(QPageSize::A4);
    }
}

QPageSize ReportPageSize() {
    // Paper follows LC_PAPER, which LC_ALL overrides; otherwise the locale.
    for (const char* name : {"LC_ALL", "LC_PAPER"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty() && value != QLatin1String("C") && value != QLatin1String("POSIX")) {
            return ReportPageSize(QLocale(value.section(QLatin1Char('.'), 0, 0)));
        }
    }
    return ReportPageSize(QLocale());
}

QString ReportTitle(const ReportData& report) {
    const CalcReport::Content& c = report.content;
    QString title = Q(c.title) + QStringLiteral(" - ") + Q(c.calculation);
    if (!c.jobTitle.empty()) {
        title += QStringLiteral(" - ") + Q(c.jobTitle);
    }
    return title;
}

bool RenderReport(const ReportData& report, QPagedPaintDevice* device) {
    QPainter painter;
    if (!painter.begin(device)) {
        return false;
    }
    const PageFrame frame(device);
    ReportPart part(device, frame);
    part.AddChart(report.chart);
    part.AddYearCurve(report.yearCurve);
    KeepSectionsTogether(part.Doc(), Fill(part.Doc(), report), frame.bodyHeight);

    const int pages = part.Pages();
    const QString footer = Q(report.content.program) + QStringLiteral(" - ") + ReportTitle(report);
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !device->newPage()) {
            return false;
        }
        part.Paint(painter, page);
        PaintFooter(painter, device, frame, footer, page, pages);
    }
    return painter.end();
}

QString ProjectReportTitle(const ProjectReport::Content& report) {
    QString title = Q(report.title);
    if (!report.projectTitle.empty()) {
        title += QStringLiteral(" - ") + Q(report.projectTitle);
    }
    return title;
}

bool RenderProjectReport(const ProjectReport::Content& report, QPagedPaintDevice* device) {
    QPainter painter;
    if (!painter.begin(device)) {
        return false;
    }
    const PageFrame frame(device);
    // Every part is laid out before the first page is painted: each page names
    // the count of them all. A part holds its text and layout, not its pages'
    // pictures, so two hundred rooms stay well within memory.
    std::vector<std::unique_ptr<ReportPart>> parts;
    parts.reserve(report.rooms.size() + 1);
    parts.push_back(std::make_unique<ReportPart>(device, frame));
    KeepSectionsTogether(parts.back()->Doc(), FillCover(parts.back()->Doc(), report),
                         frame.bodyHeight);
    for (const ProjectReport::RoomReport& room : report.rooms) {
        auto part = std::make_unique<ReportPart>(device, frame);
        if (room.content) {
            // The document keeps its own texts, and the chart its own points.
            const ReportData data{*room.content, room.chart};
            part->AddChart(data.chart);
            KeepSectionsTogether(part->Doc(), Fill(part->Doc(), data), frame.bodyHeight);
        } else {
            FillNotCompleted(part->Doc(), room);
        }
        parts.push_back(std::move(part));
    }
    int pages = 0;
    for (const auto& part : parts) {
        pages += part->Pages();
    }
    const QString footer = Q(report.program) + QStringLiteral(" - ") + ProjectReportTitle(report);
    int page = 0;
    for (const auto& part : parts) {
        // Each room begins on a page of its own.
        for (int inPart = 0; inPart < part->Pages(); ++inPart, ++page) {
            if (page > 0 && !device->newPage()) {
                return false;
            }
            part->Paint(painter, inPart);
            PaintFooter(painter, device, frame, footer, page, pages);
        }
    }
    return painter.end();
}

bool SaveReportPdf(const ReportData& report, const QString& path, QString* problem) {
    return SavePdf(
        path, ReportTitle(report), Q(report.content.program),
        [&report](QPagedPaintDevice* device) { return RenderReport(report, device); }, problem);
}

bool SaveProjectReportPdf(const ProjectReport::Content& report, const QString& path,
                          QString* problem) {
    return SavePdf(
        path, ProjectReportTitle(report), Q(report.program),
        [&report](QPagedPaintDevice* device) { return RenderProjectReport(report, device); },
        problem);
}

#include "ReportDocument.moc"
