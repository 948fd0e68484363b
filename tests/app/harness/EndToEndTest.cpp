#include "app/harness/EndToEndTest.h"

#include "app/harness/InstanceLock.h"
#include "app/harness/Screenshot.h"

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
    ASSERT_TRUE (juce::File (ZUND_PROGRAM_PATH).copyFileTo (programFile));
    programFile.setExecutePermission (true);

    xServer = std::make_unique<XServer> (1920, 1200, artifactPath ("xvfb.log"));
    ASSERT_TRUE (xServer->isRunning()) << "Xvfb did not start";
    x = std::make_unique<X11Display> (xServer->getDisplayName());
    input = std::make_unique<XTestInput> (*x);

    jackServer = std::make_unique<JackServer> (jackOptions, artifactPath ("jackd.log"));
    ASSERT_TRUE (jackServer->isRunning()) << "jackd did not start";
    jack = std::make_unique<JackTestClient> (jackServer->getName(), clientOutputPairs, clientInputs,
                                             clientRingSeconds);
    ASSERT_TRUE (jack->isOpen()) << "the test's JACK client could not join the server";
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

void EndToEndTest::writePreferences (const juce::XmlElement& root) const
{
    writeProgramFile ("preferences.xml", root.toString());
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

SpawnedProcess& EndToEndTest::startProgram()
{
    // The program runs once per machine; other checkouts' tests may run theirs.
    for (int attempt = 0; attempt < 5; ++attempt)
    {
        if (! waitUntil ([] { return ! programInstanceHolder().has_value(); }, 300s))
            ADD_FAILURE() << "another instance of the program (process " << programInstanceHolder().value_or (0)
                          << ") kept running on this machine";

        program = startAnotherInstance ("zund.log");
        waitUntil ([&] { return ! program->isRunning() || programInstanceHolder() == program->getPid(); }, 60s);
        // One that lost the race for the lock ends at once with 0, as a second instance: try again.
        if (program->isRunning() || program->waitForExit (0s) != 0)
            break;
    }
    return *program;
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
    return LayoutProbe { window ? window->width : 0, window ? window->height : 0 };
}
}
