#include "command.h"
#include "fromlanrik.h"
#include "ui_fromlanrik.h"

void fromlanrik::on_cmdCMD_clicked()
{
    const QString input = ui->txtCMD->toPlainText() + QLatin1Char('\n');
    const QStringList lines = input.split(QLatin1Char('\n'));
    QString output;
    for (int i = 0; i < lines.size() - 1; ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty())
            continue;
        output += line + QLatin1Char('\n');
        output += QStringLiteral("-------------------------------------------------\n");
        output += runCommand(line);
        output += QLatin1Char('\n');
    }
    // Output is text: a tag in the first command line must not turn it all into markup.
    ui->textCMD->setPlainText(output);
}
