#include "app/harness/EndToEndTest.h"

#include "app/harness/InstanceLock.h"
#include "app/harness/Screenshot.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>

#ifndef ZUND_PROGRAM_PATH
#error "the end-to-end tests need the path of the built program"
#endif
#ifndef ZUND_E2E_OUTPUT_PATH
#error "the end-to-end tests need a folder for the output of failed tests"
#endif

namespace zund::test
{
using namespace std::chrono_literals;

const std::string EndToEndTest::windowTitle = "ZUND V2.20";

void EndToEndTest::SetUp()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    outputFolder = juce::File (ZUND_E2E_OUTPUT_PATH)
                       .getChildFile (juce::String (info->test_suite_name()) + "." + info->name());
    outputFolder.deleteRecursively(); // what an earlier failure left

    artifacts = temp.file ("artifacts");
    programFolder = temp.file ("program");
    songFolder = temp.file ("songs");
    home = temp.file ("home");
    for (auto* folder : { &artifacts, &programFolder, &songFolder, &home })
        folder->createDirectory();

    programFile = programFolder.getChildFile ("Zund");
    const auto* otherBuild = std::getenv ("ZUND_E2E_PROGRAM");
    const juce::File built (otherBuild != nullptr && *otherBuild != 0 ? otherBuild : ZUND_PROGRAM_PATH);
    ASSERT_TRUE (built.copyFileTo (programFile)) << built.getFullPathName();
    programFile.setExecutePermission (true);

    xServer = std::make_unique<XServer> (1920, 1200, artifactPath ("xvfb.log"));
    ASSERT_TRUE (xServer->isRunning()) << xServer->getProblem();
    x = std::make_unique<X11Display> (xServer->getDisplayName());
    ASSERT_TRUE (x->isOpen()) << "no connection to the X server \"" << xServer->getDisplayName() << "\"";
    input = std::make_unique<XTestInput> (*x);
    ASSERT_TRUE (input->isAvailable()) << "the X server \"" << xServer->getDisplayName() << "\" offers no XTest";

    jackServer = std::make_unique<JackServer> (jackOptions, artifactPath ("jackd.log"));
    ASSERT_TRUE (jackServer->isRunning()) << jackServer->getProblem();
    jack = std::make_unique<JackTestClient> (jackServer->getName(), clientOutputPairs, clientInputs,
                                             clientRingSeconds);
    ASSERT_TRUE (jack->isOpen()) << "the test's JACK client could not join the server \"" << jackServer->getName()
                                 << "\"";
}

void EndToEndTest::TearDown()
{
    if (HasFailure())
        keepArtifactsOfFailure();
    program.reset();
    jack.reset();
    input.reset();
    x.reset(); // before its server goes: Xlib ends the process on a lost connection
    jackServer.reset();
    xServer.reset();
}

void EndToEndTest::keepArtifactsOfFailure()
{
    if (xServer != nullptr && xServer->isRunning())
        takeScreenshot (xServer->getDisplayName(), artifactPath ("screen.xwd"));
    if (program != nullptr && program->isRunning())
        recordStacks (*program, "stacks-at-failure.log");
    else if (program != nullptr)
        std::cerr << "---- the program had ended, code " << program->waitForExit (0s).value_or (-1) << "\n";

    for (const auto& log : artifacts.findChildFiles (juce::File::findFiles, false, "*.log"))
        std::cerr << "---- " << log.getFileName() << "\n" << log.loadFileAsString() << "\n";

    outputFolder.createDirectory();
    for (const auto& file : artifacts.findChildFiles (juce::File::findFiles, false))
        file.copyFileTo (outputFolder.getChildFile (file.getFileName()));
    std::cerr << "---- logs, screenshot and recordings kept in " << outputFolder.getFullPathName() << "\n";
}

std::string EndToEndTest::artifactPath (const std::string& name) const
{
    return artifacts.getChildFile (name).getFullPathName().toStdString();
}

void EndToEndTest::writeProgramFile (const juce::String& name, const juce::String& text) const
{
    ASSERT_TRUE (programFolder.getChildFile (name).replaceWithText (text)) << name;
}

void EndToEndTest::writePreferences (const juce::XmlElement& root)
{
    writeProgramFile ("preferences.xml", root.toString());
    shownSections = LayoutProbe::shownBy (root);
}

void EndToEndTest::keepRecording (const Recording& recording, const std::string& name) const
{
    recording.saveAsWav (artifacts.getChildFile (name));
}

std::vector<std::string> EndToEndTest::programEnvironment() const
{
    auto environment = jackServer->environment();
    environment.push_back ("DISPLAY=" + xServer->getDisplayName());
    environment.push_back ("HOME=" + home.getFullPathName().toStdString());
    return environment;
}

bool EndToEndTest::startProgram()
{
    // The program runs once per machine: test runs of other checkouts may hold
    // its lock for several of their tests, and one started at the same moment
    // may take it first (ours then quits at once with 0, as a second instance).
    const auto end = std::chrono::steady_clock::now() + instanceLockWait;
    for (;;)
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds> (end - std::chrono::steady_clock::now());
        if (! waitUntil ([] { return ! programInstanceHolder().has_value(); }, left))
        {
            const auto holder = programInstanceHolder().value_or (0);
            ADD_FAILURE() << "the program's single-instance lock " << programInstanceLockFile() << " stayed held for "
                          << std::chrono::duration_cast<std::chrono::seconds> (instanceLockWait).count()
                          << " s, by process " << holder << " ("
                          << juce::File ("/proc/" + juce::String (holder) + "/exe").getLinkedTarget().getFullPathName()
                          << ")";
            program.reset();
            return false;
        }

        program = startAnotherInstance ("zund.log");
        waitUntil ([&] { return ! program->isRunning() || programInstanceHolder() == program->getPid(); }, 60s);
        if (program->isRunning() || program->waitForExit (0s) != 0)
            return true;
    }
}

std::unique_ptr<SpawnedProcess> EndToEndTest::startAnotherInstance (const std::string& logName)
{
    return std::make_unique<SpawnedProcess> (std::vector<std::string> { programFile.getFullPathName().toStdString() },
                                             programEnvironment(), artifactPath (logName));
}

std::optional<WindowInfo> EndToEndTest::waitForWindow (std::chrono::milliseconds timeout)
{
    if (program == nullptr)
    {
        ADD_FAILURE() << "no program was started";
        return std::nullopt;
    }
    waitUntil (
        [&] {
            x->collectWindowIds (windowTitle, mainWindowIds);
            return (window = x->findWindow (windowTitle)).has_value() || ! program->isRunning();
        },
        timeout);
    if (! window && ! program->isRunning())
        ADD_FAILURE() << "the program ended (code " << program->waitForExit (0s).value_or (-1)
                      << ") before it showed its window";
    return window;
}

void EndToEndTest::recordStacks (SpawnedProcess& process, const std::string& name)
{
    const auto stacks = runAndCapture ({ "gdb", "-p", std::to_string (process.getPid()), "-batch", "-ex",
                                         "thread apply all bt 25" });
    artifacts.getChildFile (name).replaceWithText (stacks);
}

std::optional<int> EndToEndTest::closeProgram()
{
    if (program == nullptr)
        return std::nullopt;
    // On a bare X server nothing else stirs the program's connection, and the
    // framework can leave an event that Xlib already buffered unread: repeat.
    for (int attempt = 0; attempt < 30; ++attempt)
    {
        if (auto mapped = x->findWindow (windowTitle))
            x->sendCloseRequest (mapped->id);
        if (auto code = program->waitForExit (2s))
            return code;
    }
    recordStacks (*program, "stacks.log");
    return std::nullopt;
}

bool EndToEndTest::waitForProgramPorts (std::chrono::milliseconds timeout)
{
    return jack->waitForPorts ("^Zund:in_", jackOptions.capturePorts, timeout)
        && jack->waitForPorts ("^Zund:out_", jackOptions.playbackPorts, timeout);
}

bool EndToEndTest::connectDeck (int clientPair, int routingIndex)
{
    const auto ports = programInputsOf (routingIndex);
    return jack->connect (jack->getOutputPort (2 * clientPair), ports.left)
        && jack->connect (jack->getOutputPort (2 * clientPair + 1), ports.right);
}

bool EndToEndTest::listenTo (int routingIndex, int firstClientInput)
{
    const auto ports = programOutputsOf (routingIndex);
    return jack->connect (ports.left, jack->getInputPort (firstClientInput))
        && jack->connect (ports.right, jack->getInputPort (firstClientInput + 1));
}

LayoutProbe EndToEndTest::layout() const
{
    return LayoutProbe { window ? window->width : 0, window ? window->height : 0, shownSections };
}

std::unique_ptr<BrowserProbe> EndToEndTest::browserProbe() const
{
    return std::make_unique<BrowserProbe> (programFolder, layout().browserArea());
}

juce::Rectangle<int> EndToEndTest::control (int controlId) const
{
    const auto found = layout().findControl (controlId);
    EXPECT_TRUE (found.has_value()) << "control " << controlId << " is not in the window";
    return found.value_or (juce::Rectangle<int>());
}

void EndToEndTest::clickOn (int controlId)
{
    const auto r = control (controlId);
    input->click (window->id, r.getCentreX(), r.getCentreY());
}

void EndToEndTest::clickCell (int gridId, int cell, int cells)
{
    const auto grid = control (gridId);
    input->click (window->id, grid.getX() + grid.getWidth() * (2 * cell + 1) / (2 * cells), grid.getCentreY());
}

void EndToEndTest::pressKey (const std::string& keysymName, int modifiers)
{
    input->focus (window->id);
    EXPECT_TRUE (input->pressKey (keysymName, modifiers)) << "no key " << keysymName;
}

std::optional<WindowInfo> EndToEndTest::waitForOtherWindow (const std::set<unsigned long>& besides,
                                                            std::chrono::milliseconds timeout)
{
    std::optional<WindowInfo> other;
    waitUntil (
        [&] {
            for (const auto& w : x->listWindows())
                if (mainWindowIds.count (w.id) == 0 && besides.count (w.id) == 0
                    && (window == std::nullopt || w.id != window->id))
                    other = w;
            return other.has_value();
        },
        timeout);
    return other;
}

std::optional<XwdImage> EndToEndTest::screenNow() const
{
    const auto file = artifactPath ("now.xwd");
    if (! takeScreenshot (xServer->getDisplayName(), file))
        return std::nullopt;
    return readXwd (file);
}

bool EndToEndTest::showsInk (const XwdImage& screen, juce::Rectangle<int> area, Ink ink,
                             std::optional<WindowInfo> in) const
{
    const auto& where = in ? *in : *window;
    const auto onScreen = (area + juce::Point<int> (where.x, where.y)).getIntersection ({ 0, 0, screen.width, screen.height });
    for (int y = onScreen.getY(); y < onScreen.getBottom(); ++y)
        for (int x = onScreen.getX(); x < onScreen.getRight(); ++x)
        {
            const auto pixel = screen.pixelAt (x, y);
            const auto brightest = std::max ({ (pixel >> 16) & 0xff, (pixel >> 8) & 0xff, pixel & 0xff });
            if (ink == Ink::light ? brightest > 0xa0 : brightest < 0x60)
                return true;
        }
    return false;
}

Recording EndToEndTest::recordWhen (const std::function<bool (const Recording&)>& settled, double seconds, int tries)
{
    auto heard = jack->record (seconds);
    for (int i = 1; i < tries && ! settled (heard); ++i)
        heard = jack->record (seconds);
    return heard;
}

std::optional<int> EndToEndTest::closePlayingProgram()
{
    if (program == nullptr || window == std::nullopt)
        return std::nullopt;
    x->sendCloseRequest (window->id);
    std::optional<WindowInfo> question;
    waitUntil ([&] { return (question = x->findWindow ("Really quit?")).has_value(); }, 20s);
    if (! question)
    {
        ADD_FAILURE() << "no \"Really quit?\" came while channels played";
        return closeProgram();
    }
    input->focus (question->id);
    input->pressKey ("Return"); // its first button, "Yes"
    if (auto code = program->waitForExit (60s))
        return code;
    recordStacks (*program, "stacks.log");
    return std::nullopt;
}
}
