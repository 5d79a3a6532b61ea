#include "app/cli/headless.h"
#include "app/cli/checkcommand.h"
#include "app/cli/historycommand.h"
#include "app/cli/scancommand.h"
#include "app/cli/terminal.h"
#include "check/columns.h"
#include "check/metricsfile.h"
#include "check/script.h"

#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QHash>
#include <QTextCodec>
#include <QTranslator>

#include <memory>

#include <cstdio>

namespace
{
// The option parser's error messages in the program's language.
class ParserWords : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        static const QHash<QByteArray, QString> words = {
            { "Unknown option '%1'.", QStringLiteral("未知选项“%1”。") },
            { "Unknown options: %1.", QStringLiteral("未知选项：%1。") },
            { "Missing value after '%1'.", QStringLiteral("“%1”后缺少值。") },
            { "Unexpected value after '%1'.", QStringLiteral("“%1”后不应有值。") },
        };
        if (qstrcmp(context, "QCommandLineParser") != 0)
            return QString();
        return words.value(sourceText);
    }
    bool isEmpty() const override { return false; }
};

void dropToolkitChatter(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        print(stderr, message);
}

struct Options
{
    QCommandLineOption help { { QStringLiteral("h"), QStringLiteral("help") },
        QStringLiteral("显示本帮助。") };
    QCommandLineOption version { { QStringLiteral("v"), QStringLiteral("version") },
        QStringLiteral("显示版本。") };
    QCommandLineOption check { QStringLiteral("check"),
        QStringLiteral("不打开窗口，执行检测脚本的每一行，输出结果并写入当天日志和历史记录。"
                       "退出码：0 全部正常，1 有异常或待检测、或日志写入失败，"
                       "2 无法读取脚本、没有可执行的检测行、无法写入PDF文件或收到停止信号。") };
    QCommandLineOption script { QStringLiteral("script"),
        QStringLiteral("与 --check 或 --history 一起使用：检测脚本（默认为程序的 chkScript.txt）。"),
        QStringLiteral("文件") };
    QCommandLineOption pdf { QStringLiteral("pdf"),
        QStringLiteral("与 --check 一起使用：把结果打印到PDF文件。"), QStringLiteral("文件") };
    QCommandLineOption format { QStringLiteral("format"),
        QStringLiteral("与 --check 一起使用：输出格式。text（默认）每行一项并在最后汇总；"
                       "json 每项一个 JSON 对象（JSON Lines），最后一个汇总对象；"
                       "nagios 输出监控插件格式，退出码：0 全部正常，1 全部正常但有记录未写入，"
                       "2 有异常或待检测，3 无法完成检测。"),
        QStringLiteral("格式") };
    QCommandLineOption metrics { QStringLiteral("metrics"),
        QStringLiteral("与 --check 一起使用：检测后把结果写入 Prometheus 指标文件（文件名须以 .prom 结尾，"
                       "供 node_exporter 的 textfile 收集器读取）。"),
        QStringLiteral("文件") };
    QCommandLineOption history { QStringLiteral("history"),
        QStringLiteral("不打开窗口，按数据目录中的 history.sqlite 输出检测脚本每一行最近 1、7、30 天的"
                       "正常率、异常次数、最长异常时间和最近一次变化。退出码：0 完成，2 无法读取。") };
    QCommandLineOption days { QStringLiteral("days"),
        QStringLiteral("与 --history 一起使用：只统计最近 N 天（1 到 400）。"), QStringLiteral("N") };
    QCommandLineOption scan { QStringLiteral("scan"),
        QStringLiteral("不打开窗口，搜索从起始IP到结束IP的地址，输出有回应的主机。"
                       "退出码：0 有主机回应，1 无主机回应，2 地址错误或收到停止信号。") };
};

// The parser's own help pads by characters; Chinese takes two columns a character.
QString helpText(const QList<QCommandLineOption> &options)
{
    QStringList heads;
    int width = 0;
    for (const QCommandLineOption &option : options) {
        QStringList names;
        for (const QString &name : option.names())
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        heads << names.join(QStringLiteral(", "))
                + (option.valueName().isEmpty() ? QString()
                                                : QStringLiteral(" <%1>").arg(option.valueName()));
        width = qMax(width, terminalColumns(heads.last()));
    }
    QString text = QStringLiteral(
        "用法：netcheck [选项]\n"
        "      netcheck --check [--script 文件] [--pdf 文件] [--format text|json|nagios]"
        " [--metrics 文件.prom]\n"
        "      netcheck --scan 起始IP 结束IP\n"
        "      netcheck --history [--days N] [--script 文件]\n"
        "网络检测工具：按检测脚本检查办公网络，搜索IP地址。不带选项时打开窗口。\n\n选项：\n");
    for (int i = 0; i < options.size(); ++i)
        text += QStringLiteral("  %1  %2\n").arg(padded(heads.at(i), width), options.at(i).description());
    return text.trimmed();
}

Options &options()
{
    static Options all;
    return all;
}

QList<QCommandLineOption> allOptions()
{
    const Options &o = options();
    return { o.help, o.version, o.check, o.script, o.pdf, o.format, o.metrics, o.scan, o.history, o.days };
}

// The arguments with every one that starts with "-" but names no option moved behind "--":
// "-127.0.0.1" is an address to be refused as such, not a row of unknown one-letter options.
QStringList withStrayDashesAsValues(const QStringList &arguments)
{
    QStringList known, valued;
    for (const QCommandLineOption &option : allOptions()) {
        for (const QString &name : option.names()) {
            const QString dashed = (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
            known << dashed;
            if (!option.valueName().isEmpty())
                valued << dashed;
        }
    }
    QStringList options = arguments.mid(0, 1), values;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--")) {
            values << arguments.mid(i + 1);
            break;
        }
        const QString name = argument.section(QLatin1Char('='), 0, 0);
        if (!argument.startsWith(QLatin1Char('-')) || !known.contains(name)) {
            values << argument;
            continue;
        }
        options << argument;
        if (valued.contains(argument) && i + 1 < arguments.size())
            options << arguments.at(++i);
    }
    return options << QStringLiteral("--") << values;
}

} // namespace

bool displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

int refuseWindowWithoutDisplay()
{
    print(stderr,
        QStringLiteral("无法打开窗口：没有可用的显示。不带窗口运行请用 --check 或 --scan。\n")
            + helpText(allOptions()));
    return 2;
}

StartMode startModeOf(const QStringList &arguments)
{
    StartMode mode = StartMode::Window;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--check"))
            return StartMode::Check;
        if (argument == QLatin1String("--scan"))
            return StartMode::Scan;
        if (argument == QLatin1String("--history"))
            return StartMode::History;
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")
            || argument == QLatin1String("-v") || argument == QLatin1String("--version"))
            mode = StartMode::Print;
    }
    return mode;
}

int runWithoutWindow(int &argc, char *argv[], StartMode mode)
{
    // The toolkit's notes on its platform are no news to a scheduler.
    qInstallMessageHandler(dropToolkitChatter);
    bool report = false;
    for (int i = 1; i < argc; ++i)
        report = report || qstrcmp(argv[i], "--pdf") == 0 || qstrncmp(argv[i], "--pdf=", 6) == 0;
    std::unique_ptr<QCoreApplication> app;
    if (report) {
        // The report needs the toolkit's fonts, never a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    return runOptions(QCoreApplication::arguments(), mode);
}

int runOptions(const QStringList &arguments, StartMode mode)
{
    static ParserWords words;
    QCoreApplication::installTranslator(&words);
    QCommandLineParser parser;
    const Options &options = ::options();
    const QList<QCommandLineOption> all = allOptions();
    parser.addOptions(all);
    const bool parsed
        = parser.parse(mode == StartMode::Scan ? withStrayDashesAsValues(arguments) : arguments);

    if (parser.isSet(options.help)) {
        print(stdout, helpText(all));
        return 0;
    }
    if (parser.isSet(options.version)) {
        print(stdout, QStringLiteral("netcheck %1").arg(QCoreApplication::applicationVersion()));
        return 0;
    }
    if (mode == StartMode::Window || mode == StartMode::Print)
        return 0;
    // A monitoring engine reads every refusal of a run as the plugin line, a bad option too.
    const QString format = parser.value(options.format);
    const OutputFormat output = mode != StartMode::Check ? OutputFormat::Text
        : format == QLatin1String("json")                ? OutputFormat::Json
        : format == QLatin1String("nagios")              ? OutputFormat::Nagios
                                                         : OutputFormat::Text;
    const auto refuse = [output](const QString &message) { return refuseRun(message, output); };
    if (!parsed)
        return refuse(parser.errorText());
    if (parser.isSet(options.check) && parser.isSet(options.scan))
        return refuse(QStringLiteral("--check 和 --scan 不能同时使用。"));
    if (parser.isSet(options.history) && (parser.isSet(options.check) || parser.isSet(options.scan)))
        return refuse(QStringLiteral("--history 不能与 --check 或 --scan 同时使用。"));
    if (mode != StartMode::Scan && !parser.positionalArguments().isEmpty())
        return refuse(
            QStringLiteral("多余的参数：%1").arg(parser.positionalArguments().join(QLatin1Char(' '))));
    const QString script = parser.isSet(options.script) ? parser.value(options.script) : scriptFilePath();
    if (mode == StartMode::Check) {
        if (parser.isSet(options.format) && !QStringList { "text", "json", "nagios" }.contains(format))
            return refuse(QStringLiteral("未知的输出格式：%1（可用 text、json、nagios）").arg(format));
        const QString metrics = parser.value(options.metrics);
        if (parser.isSet(options.metrics) && !isMetricsFilePath(metrics))
            return refuse(
                QStringLiteral("指标文件名必须以 .prom 结尾：%1").arg(QDir::toNativeSeparators(metrics)));
        return runCheck(
            { script, parser.isSet(options.pdf) ? parser.value(options.pdf) : QString(), output, metrics });
    }
    if (mode == StartMode::History) {
        int days = 0;
        if (parser.isSet(options.days)) {
            bool number = false;
            days = parser.value(options.days).toInt(&number);
            if (!number || days < 1 || days > kMaxHistoryDays)
                return fail(QStringLiteral("--days 必须是 1 到 %1 之间的整数。").arg(kMaxHistoryDays));
        }
        return runHistory(script, days);
    }
    const QStringList ends = parser.positionalArguments();
    if (ends.size() != 2)
        return fail(QStringLiteral("--scan 需要起始IP和结束IP两个地址。"));
    return runScan(ends.at(0), ends.at(1));
}
