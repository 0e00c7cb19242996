// The drawing player's own work: what a drawing may hold, what it is drawn
// as, and the confinement the players put themselves in.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/landlock.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include "drawing_files.h"
#include "sandbox.h"
#include "svg_check.h"
#include "svg_drawing.h"

using namespace Player;

namespace {

using namespace drawing_files;
using SvgDrawing::Status;

SvgDrawing::Outcome draw(const QByteArray& svg, SvgDrawing::Request request = {64, 0, 1.0}) {
    return SvgDrawing::Draw(svg, request);
}

// Every way found for a drawing to make Qt SVG read a file, each in a form
// that a reading of the raw text would miss.
TEST(SvgDrawing, ReferencesBeyondTheDrawingAreRefused) {
    const QByteArray trick = QuoteTrick();
    const struct {
        const char* name;
        QByteArray svg;
    } cases[] = {
        {"quotes juggled", trick},
        {"UTF-16, no mark", Utf16(trick, false, false)},
        {"UTF-16 big-endian, marked", Utf16(trick, true, true)},
        {"UTF-16, compressed", Gzip(Utf16(trick, false, true))},
        {"entity", "<!DOCTYPE svg [<!ENTITY f \"secret.png\">]>" + Svg(Image("&f;"))},
        {"character references", Svg(Image("&#x73;ecret&#46;png"))},
        {"a prefix of its own",
         Svg("<image xmlns:l=\"http://www.w3.org/1999/xlink\" l:href=\"secret.png\"/>")},
        {"an image named like an element", Svg(Image("#secret.png"))},
        {"a data scheme in capitals", Svg(Image("DATA:image/png;base64,AAAA"))},
        {"a nested drawing", Svg(Image(DataUrl("image/svg+xml", trick)))},
        {"a style sheet instruction",
         "<?xml-stylesheet type=\"text/css\" href=\"k.css\"?>" + Svg("")},
        {"an import", Svg("<style>@import url(k.css);</style>")},
        {"a style's url", Svg("<style>rect { fill: url(k.svg#g) }</style>")},
        {"a style attribute",
         Svg("<rect width=\"9\" height=\"9\" style=\"fill:url( 'k.svg#g' )\"/>")},
        {"an escape", Svg("<rect width=\"9\" height=\"9\" style=\"fill:u\\72l(k.svg#g)\"/>")},
        {"another file's element", Svg("<use xlink:href=\"k.svg#p\"/>")},
        {"an external entity",
         "<!DOCTYPE svg [<!ENTITY x SYSTEM \"secret.txt\">]>" + Svg("<text>&x;</text>")},
        // Where one version of Qt SVG stops reading, a later one goes on.
        {"after an inner drawing's end", Svg("<svg/>" + Image("secret.png"))},
        {"a style sheet instruction after the end",
         Svg("") + "<?xml-stylesheet type=\"text/css\" href=\"k.css\"?>"},
    };
    for (const auto& c : cases) EXPECT_EQ(draw(c.svg).status, Status::RefersToFiles) << c.name;
}

TEST(SvgDrawing, ReferencesInsideAndEmbeddedPicturesAreDrawn) {
    // A long prolog before <svg>, as editors write with a licence.
    const QByteArray prolog =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" "
        "\"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\">\n<!-- " +
        QByteArray(5000, 'x') + " -->\n";
    const QByteArray svg =
        prolog + Svg("<defs><linearGradient id=\"g\"><stop stop-color=\"#00f\"/></linearGradient>"
                     "<rect id=\"r\" width=\"10\" height=\"40\"/></defs>" +
                     Image(PngUrl(2, 2, qRgb(255, 0, 0))) +
                     "<image x=\"10\" width=\"10\" height=\"40\" xlink:href=\"" +
                     DataUrl("image/svg+xml", Nested(2)) +
                     "\"/>"
                     "<use xlink:href=\"#r\" style=\"fill:url(#g)\"/>");
    const auto drawn = draw(svg);
    ASSERT_EQ(drawn.status, Status::Drawn);
    EXPECT_EQ(drawn.image.size(), QSize(40, 40));
    EXPECT_EQ(drawn.image.pixel(5, 20), qRgb(0, 0, 255)) << "the element used, its gradient";
    EXPECT_EQ(drawn.image.pixel(15, 20), qRgb(0, 255, 0)) << "the drawing two levels down";
    EXPECT_EQ(drawn.image.pixel(30, 20), qRgb(255, 0, 0)) << "the picture";
    EXPECT_EQ(draw(Gzip(Utf16(svg, true, true))).image, drawn.image);
}

TEST(SvgDrawing, EmbeddedPicturesStayWithinTheirBudget) {
    const QByteArray large = PngUrl(2000, 2000, qRgb(1, 2, 3));
    const struct {
        const char* name;
        QByteArray svg;
        Status status;
    } cases[] = {
        {"a 5000 x 5000 drawing",
         Svg(Image(DataUrl("image/svg+xml", Svg("<rect width=\"9\" height=\"9\"/>", 5000, 5000)))),
         Status::OutOfMemory},
        {"four pictures of 2000 x 2000", Svg(Image(large).repeated(4)), Status::Drawn},
        {"five of them", Svg(Image(large).repeated(5)), Status::OutOfMemory},
        {"drawings four deep", Nested(4), Status::Drawn},
        {"drawings five deep", Nested(5), Status::TooDeep},
        {"a damaged picture", Svg(Image("data:image/png;base64,iVBORw0KGgo=")),
         Status::NotReadable},
        {"a picture not in base64", Svg(Image("data:image/png,%89PNG")), Status::NotReadable},
        {"a compressed drawing inside", Svg(Image(DataUrl("image/svg+xml", Gzip(Nested(0))))),
         Status::NotReadable},
    };
    for (const auto& c : cases) EXPECT_EQ(draw(c.svg).status, c.status) << c.name;
}

// A size is a number or no size at all: NaN and infinity are not measured
// as a number past any other.
// Drawn four times as large and averaged down: a pixel half covered by red
// is red at half opacity, the clear half's colour nowhere in it, and the
// size is the drawing's own.
TEST(SvgDrawing, OversampledDrawingsAverageTheirColourByCoverage) {
    const QByteArray half =
        Svg("<rect x=\"0\" y=\"0\" width=\"2.5\" height=\"3\" fill=\"red\"/>", 3, 3);
    for (int k : {1, 2, 4}) {
        const auto drawn = draw(half, {64, 0, 1.0, k});
        ASSERT_EQ(drawn.status, Status::Drawn);
        ASSERT_EQ(drawn.image.size(), QSize(3, 3));
        for (int y = 0; y < 3; ++y) {
            EXPECT_EQ(drawn.image.pixel(1, y), qRgba(255, 0, 0, 255)) << k;
            const QRgb edge = drawn.image.pixel(2, y);
            EXPECT_EQ(edge & 0xFFFFFFu, 0xFF0000u) << k;
            EXPECT_NEAR(qAlpha(edge), 127.5, 0.5) << k;
        }
    }
}

// Frames of a drawing, each the same still drawing however long the frames
// before it took, and nothing of it beyond its own page wherever it slides:
// a red square off the page, a green one whose animation would move it.
TEST(SvgDrawing, FramesShowTheDrawingStillWithinItsPage) {
    const QByteArray svg =
        Svg("<rect x=\"12\" y=\"0\" width=\"4\" height=\"10\" fill=\"red\"/>"
            "<rect x=\"0\" y=\"0\" width=\"4\" height=\"10\" fill=\"#00ff00\">"
            "<animateTransform attributeName=\"transform\" type=\"translate\" from=\"2 0\" "
            "to=\"6 0\" dur=\"0.03s\" repeatCount=\"indefinite\"/>"
            "<animateColor attributeName=\"fill\" from=\"blue\" to=\"red\" dur=\"1s\"/></rect>",
            10, 10);
    const Pictures::DrawingProtocol::FrameMotion motion{7, 40, 10, 0, 0, 30, 0, 0.0f, 0.0f, 0, 0};
    std::vector<QImage> frames;
    const auto drawn = SvgDrawing::DrawFrames(svg, {64, 0, 1.0, 1}, motion, [&](const QImage& f) {
        frames.push_back(f.copy());
        QThread::msleep(5);
        return true;
    });
    ASSERT_EQ(drawn.status, Status::Drawn);
    ASSERT_EQ(frames.size(), 7u);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const int at = 5 * static_cast<int>(i);  // where the page lies
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 40; ++x)
                EXPECT_EQ(frames[i].pixel(x, y),
                          x >= at && x < at + 4 ? qRgba(0, 255, 0, 255) : qRgba(0, 0, 0, 0))
                    << "frame " << i << " at " << x << "," << y;
    }
}

// A drawing with animations is written anew without them; what it holds
// besides comes through as the renderer read it: its encoding, entities,
// a style sheet in CDATA, prefixed references, text. Without animations
// it is drawn from its own text.
TEST(SvgDrawing, AnimatedDrawingsAreDrawnAsWithoutTheirAnimations) {
    const auto knob = [](const QByteArray& animation) {
        return "<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
               "<!DOCTYPE svg [<!ENTITY w \"7\"><!ENTITY part \"<circle cx='20' cy='20' "
               "r='9' fill='#123456'/>\">]>" +
               Svg("<style><![CDATA[ .p { fill: #00ff00 } ]]></style>"
                   "<defs><rect id=\"r\" class=\"p\" width=\"&w;\" height=\"30\"/></defs>"
                   "<g>&part;" +
                   animation +
                   "</g><use xlink:href=\"#r\" x=\"3\" y=\"5\"/>"
                   "<text x=\"2\" y=\"38\" font-size=\"8\" fill=\"blue\">&lt;&amp;&gt;</text>" +
                   animation);
    };
    const QByteArray moving =
        "<animateTransform attributeName=\"transform\" type=\"translate\" from=\"9 4\" to=\"19 4\" "
        "dur=\"1s\"/><set attributeName=\"fill\" to=\"red\"/><animate attributeName=\"r\" "
        "from=\"1\" to=\"19\" dur=\"1s\"/>";
    const auto still = draw(Utf16(knob(""), false, true));
    const auto animated = draw(Utf16(knob(moving), false, true));
    ASSERT_EQ(still.status, Status::Drawn);
    ASSERT_EQ(animated.status, Status::Drawn);
    EXPECT_EQ(animated.image, still.image);
    EXPECT_EQ(still.image.pixel(5, 10), qRgba(0, 255, 0, 255));
    EXPECT_EQ(still.image.pixel(20, 20), qRgba(0x12, 0x34, 0x56, 255));

    SvgCheck::Budget budget{1};
    EXPECT_FALSE(SvgCheck::Check(Utf16(knob(""), false, true), budget).animated);
    EXPECT_TRUE(SvgCheck::Check(Utf16(knob(moving), false, true), budget).animated);
    const auto written = SvgCheck::Still(Utf16(knob(moving), false, true));
    ASSERT_TRUE(written);
    EXPECT_FALSE(written->contains("anim"));
    EXPECT_FALSE(written->contains("<set"));
}

TEST(SvgDrawing, SizesThatAreNoNumberAreNamed) {
    for (const char* width : {"nan", "NaN", "inf", "-inf"})
        for (const char* height : {"40", "3e9"}) {
            const QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                                   QByteArray(width) + "\" height=\"" + height + "\"/>";
            EXPECT_EQ(draw(svg).status, Status::NoSize) << width << " x " << height;
        }
}

TEST(SvgDrawing, SizesPastAnyIntegerAreMeasuredAsGiven) {
    const struct {
        const char* width;
        double scale;
        qint64 measured;
    } cases[] = {{"2000000000", 1, 2'000'000'000},
                 {"3e9", 1, 3'000'000'000},
                 {"2000000000", 16, 32'000'000'000},
                 {"1e9in", 1, 90'000'000'000}};
    for (const auto& c : cases) {
        const QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                               QByteArray(c.width) + "\" height=\"40\"/>";
        const auto measured = draw(svg, {1024, 0, c.scale});
        EXPECT_EQ(measured.status, Status::TooLarge) << c.width;
        EXPECT_EQ(measured.width, c.measured) << c.width;
        EXPECT_EQ(measured.height, qRound64(40 * c.scale)) << c.width;
    }
}

// Should a check miss a way out, the player still reads nothing but the
// system's folders and writes nothing.
TEST(Sandbox, AConfinedProcessReadsOnlyTheSystemsFolders) {
    QTemporaryDir dir;
    QFile secret(dir.filePath("secret.png"));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.close();
    const QByteArray secretPath = QFile::encodeName(secret.fileName());
    const QByteArray newPath = QFile::encodeName(dir.filePath("new"));
    const pid_t child = ::fork();
    if (child == 0) {
        const auto confined = Sandbox::ConfineToReading();
        if (confined == Sandbox::Confinement::Unavailable) ::_exit(77);
        const bool secretRead = ::open(secretPath.constData(), O_RDONLY) >= 0;
        const bool systemRead = ::open("/usr/share", O_RDONLY | O_DIRECTORY) >= 0;
        const bool written = ::open(newPath.constData(), O_WRONLY | O_CREAT, 0600) >= 0;
        ::_exit(confined == Sandbox::Confinement::Confined && !secretRead && systemRead && !written
                    ? 0
                    : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "no Landlock here";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// What a compromised player might still reach once confined, each way
// tried from a confined child: the bit of each that succeeded is its exit
// code's. Landlock refuses each as far as the kernel's version knows it;
// sockets are refused by the filter on any kernel.
enum Reach : int {
    kReadByFontVariable = 1,  // a file where FONTCONFIG_PATH points
    kTruncated = 2,           // a file the user may write, cut to nothing (Landlock 3)
    kTcp = 4,                 // a local TCP server (Landlock 4; the filter)
    kAbstractSocket = 8,      // an abstract Unix socket, as the X server's (Landlock 6; the filter)
    kNamedSocket = 16,        // a named Unix socket, as a session bus's (the filter)
    kSignalled = 32,          // the process that started it (Landlock 6)
};

int tried(const QByteArray& folder, const QByteArray& file, int port, const sockaddr_un& abstract,
          const sockaddr_un& named) {
    int reached = 0;
    if (::open((folder + "/secret.png").constData(), O_RDONLY) >= 0) reached |= kReadByFontVariable;
    if (::truncate(file.constData(), 0) == 0) reached |= kTruncated;
    const int tcp = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (tcp >= 0 && ::connect(tcp, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0)
        reached |= kTcp;
    for (const auto& [address, bit] :
         {std::pair{&abstract, kAbstractSocket}, {&named, kNamedSocket}}) {
        const int client = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (client >= 0 &&
            ::connect(client, reinterpret_cast<const sockaddr*>(address), sizeof(sockaddr_un)) == 0)
            reached |= bit;
    }
    if (::kill(::getppid(), 0) == 0) reached |= kSignalled;
    return reached;
}

int listening(int family, const void* address, socklen_t size) {
    const int server = ::socket(family, SOCK_STREAM, 0);
    if (server < 0 || ::bind(server, static_cast<const sockaddr*>(address), size) != 0 ||
        ::listen(server, 4) != 0)
        return -1;
    return server;
}

TEST(Sandbox, AConfinedProcessReachesNothingBeyondItself) {
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray file = folder + "/strip.png";
    for (const QByteArray& name : {file, folder + "/secret.png"}) {
        QFile made(QFile::decodeName(name));
        ASSERT_TRUE(made.open(QIODevice::WriteOnly));
        made.write("kept");
    }
    sockaddr_in tcp{};
    tcp.sin_family = AF_INET;
    tcp.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int tcpServer = listening(AF_INET, &tcp, sizeof tcp);
    socklen_t size = sizeof tcp;
    ASSERT_EQ(::getsockname(tcpServer, reinterpret_cast<sockaddr*>(&tcp), &size), 0);
    sockaddr_un abstract{}, named{};
    abstract.sun_family = named.sun_family = AF_UNIX;
    const QByteArray abstractName = "torvelink-test-" + QByteArray::number(::getpid());
    std::memcpy(abstract.sun_path + 1, abstractName.constData(), abstractName.size());
    std::strncpy(named.sun_path, (folder + "/bus").constData(), sizeof named.sun_path - 1);
    const int abstractServer = listening(AF_UNIX, &abstract, sizeof abstract);
    const int namedServer = listening(AF_UNIX, &named, sizeof named);
    ASSERT_TRUE(tcpServer >= 0 && abstractServer >= 0 && namedServer >= 0);
    const long version =
        ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (version < 1) GTEST_SKIP() << "no Landlock here";

    const pid_t child = ::fork();
    if (child == 0) {
        // The caller's font settings, pointing at the user's files.
        ::setenv("FONTCONFIG_PATH", folder.constData(), 1);
        ::setenv("FONTCONFIG_FILE", (folder + "/secret.png").constData(), 1);
        if (Sandbox::ConfineToReading() != Sandbox::Confinement::Confined) ::_exit(64);
        ::_exit(tried(folder, file, ntohs(tcp.sin_port), abstract, named));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    int refused = kReadByFontVariable | kTcp | kAbstractSocket | kNamedSocket;
    if (version >= 3) refused |= kTruncated;
    if (version >= 6) refused |= kSignalled;
    EXPECT_EQ(WEXITSTATUS(status) & refused, 0) << "reached: " << WEXITSTATUS(status);
    QFile kept(QFile::decodeName(file));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    if (version >= 3) {
        EXPECT_EQ(kept.readAll(), "kept");
    }
    for (const int server : {tcpServer, abstractServer, namedServer}) ::close(server);
}

}  // namespace
