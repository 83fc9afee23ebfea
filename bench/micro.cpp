// In-process figures, measured with Google Benchmark: echo rendering and decoding per
// character, and one receive with the buffer at its cap against a stock label.

#include "exchange/decoder.h"
#include "exchange/echo.h"
#include "panel/displayline.h"
#include "panel/form1.h"
#include "session/exchangesession.h"
#include "sim/simulator.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

namespace {

// Replies as a line might carry them: mostly digits and blanks, some control characters.
std::string replyText(std::size_t size)
{
    static constexpr std::string_view kAlphabet = "0123456789ABCDEF +.\r\n\x06\x14\x80";
    std::mt19937 random(7100);
    std::string text(size, ' ');
    for (char& c : text)
        c = kAlphabet[random() % kAlphabet.size()];
    return text;
}

void perCharacter(benchmark::State& state, std::size_t characters)
{
    state.counters["per_char"] = benchmark::Counter(static_cast<double>(characters),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

void BM_RenderEcho(benchmark::State& state)
{
    const std::string text = replyText(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(qpv::renderEcho(text));
    perCharacter(state, text.size());
}
BENCHMARK(BM_RenderEcho)->Arg(16)->Arg(1024)->Arg(32767);

// Decoding the echo of a reply at the cap, for each decoded query.
void BM_Decode(benchmark::State& state)
{
    static constexpr const char* kQueries[] = {"TABN   1",    "TLPS   1", "POWR????", "CR4",
                                               "TLTT   1",    "CR6",      "CRA",      "CR9",
                                               "CR PRESSURE", "CR7"};
    const std::string frame = qpv::frameCommand("", kQueries[state.range(0)]);
    const std::string text = replyText(qpv::kTextCap);
    const std::string echo = qpv::renderEcho(text);
    for (auto _ : state)
        benchmark::DoNotOptimize(qpv::decodeReply("", frame, echo));
    state.SetLabel(kQueries[state.range(0)]);
    perCharacter(state, text.size());
}
BENCHMARK(BM_Decode)->DenseRange(0, 9);

// The window on the simulated projector, the traffic display on screen.
struct Window {
    Window()
    {
        projector.start(nullptr);
        qpv::PortMap ports;
        ports.setDevice(1, projector.devicePath());
        session = std::make_unique<qpv::ExchangeSession>(ports);
        form = std::make_unique<qpv::Form1>(*session);
        form->Form_Load();
        form->show();
        QKeyEvent ctrlJ(QEvent::KeyPress, Qt::Key_J, Qt::ControlModifier);
        QCoreApplication::sendEvent(form->windowHandle(), &ctrlJ);
        rxd = form->findChild<qpv::DisplayLine*>(QStringLiteral("Label12"));
        status = form->findChild<qpv::DisplayLine*>(QStringLiteral("Label22"));
    }
    // What the session does with a receive: the echo to RXD, the decoded reply to STATUS.
    void receive(std::string_view echo) const
    {
        rxd->setText(echo);
        if (const auto text = qpv::decodeReply("", "TABN   1\r", echo))
            status->setText(*text);
    }
    qpv::sim::Simulator projector;
    std::unique_ptr<qpv::ExchangeSession> session;
    std::unique_ptr<qpv::Form1> form;
    qpv::DisplayLine* rxd = nullptr;
    qpv::DisplayLine* status = nullptr;
};

// One receive with the buffer at its cap: render, decode, repaint the RXD and STATUS lines.
void BM_ReceiveAtCap(benchmark::State& state)
{
    Window window;
    QImage canvas(window.rxd->size(), QImage::Format_ARGB32_Premultiplied);
    std::string buffers[2] = {std::string(qpv::kTextCap, '8'), std::string(qpv::kTextCap, '8')};
    buffers[1].back() = '0'; // every receive really changes the line
    std::size_t i = 0;
    for (auto _ : state) {
        window.receive(qpv::renderEcho(buffers[++i % 2]));
        window.rxd->render(&canvas);
        window.status->render(&canvas);
    }
}
BENCHMARK(BM_ReceiveAtCap)->Unit(benchmark::kMicrosecond);

// One arrival of 16 characters with the buffer at its cap, as the receive handler takes it,
// then the event loop's pass that follows, where a paint happens if one is due. Argument 1:
// painted on every arrival, as the panel once did; 0: as the panel paints (25 a second at most).
void BM_ArrivalAtCap(benchmark::State& state)
{
    const bool everyArrival = state.range(0) == 1;
    Window window;
    qpv::EchoedText buffer;
    buffer.append(std::string(qpv::kTextCap, '8'));
    std::size_t i = 0;
    for (auto _ : state) {
        buffer.append(std::string(16, static_cast<char>('0' + ++i % 10)));
        window.receive(buffer.echo());
        if (everyArrival)
            window.rxd->update(), window.status->update();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ArrivalAtCap)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// The naive way: a stock label given the same echo, laid out and painted.
void BM_NaiveLabelAtCap(benchmark::State& state)
{
    QLabel label;
    label.setTextFormat(Qt::PlainText);
    label.resize(374, 20);
    label.show();
    QImage canvas(label.size(), QImage::Format_ARGB32_Premultiplied);
    std::string buffers[2] = {std::string(qpv::kTextCap, '8'), std::string(qpv::kTextCap, '8')};
    buffers[1].back() = '0';
    std::size_t i = 0;
    for (auto _ : state) {
        label.setText(QString::fromStdString(qpv::renderEcho(buffers[++i % 2])));
        label.render(&canvas);
    }
}
BENCHMARK(BM_NaiveLabelAtCap)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
