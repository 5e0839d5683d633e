#include "TransferProgress.h"

#include "ProgramTransfer.h"

#include <unistd.h>

namespace {
constexpr int BarWidth = 30;
}

TransferProgress::TransferProgress(ProgramTransfer* transfer, const QString& verb, std::FILE* out)
    : m_verb(verb), m_out(out), m_terminal(::isatty(fileno(out)) == 1)
{
    QObject::connect(transfer, &ProgramTransfer::downloadSize, transfer, [this](int last) { setTotal(last + 1); });
    QObject::connect(transfer, &ProgramTransfer::downloadProgress, transfer, [this](int index) { show(index + 1); });
    QObject::connect(transfer, &ProgramTransfer::uploadProgress, transfer, [this](int words) { show(words); });
}

void TransferProgress::show(int done)
{
    m_done = done;
    const int total = m_total > 0 ? m_total : 1;
    const int percent = int(qint64(qMin(done, total)) * 100 / total);
    const QByteArray verb = m_verb.toLocal8Bit();
    if (m_terminal) {
        if (percent == m_shown && done != total)
            return;
        m_shown = percent;
        const int filled = percent * BarWidth / 100;
        std::fprintf(m_out, "\r%s [%s%s] %3d%% %d/%d words", verb.constData(),
                     QByteArray(filled, '#').constData(), QByteArray(BarWidth - filled, ' ').constData(),
                     percent, done, m_total);
        m_open = true;
    } else {
        const int tenth = percent / 10;
        if (tenth == m_shown)
            return;
        m_shown = tenth;
        std::fprintf(m_out, "%s: %d/%d words (%d%%)\n", verb.constData(), done, m_total, percent);
        m_printed = done;
    }
    std::fflush(m_out);
}

void TransferProgress::finish()
{
    if (m_open)
        std::fputc('\n', m_out);
    else if (!m_terminal && m_printed >= 0 && m_printed != m_done)
        std::fprintf(m_out, "%s: %d words\n", m_verb.toLocal8Bit().constData(), m_done);
    m_open = false;
    std::fflush(m_out);
}
