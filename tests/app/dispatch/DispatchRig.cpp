#include "DispatchRig.h"

#include "support/AudioFixtures.h"
#include "support/UiEvents.h"

#include <algorithm>
#include <cmath>

namespace zund::test
{
void FeedbackLog::sendMessageNow (const juce::MidiMessage& message)
{
    const std::lock_guard<std::mutex> lock (mutex);
    sent.emplace_back (((message.getChannel() - 1) << 7) | message.getControllerNumber(), message.getControllerValue());
}

std::vector<FeedbackLog::Entry> FeedbackLog::take()
{
    const std::lock_guard<std::mutex> lock (mutex);
    return std::exchange (sent, {});
}

std::vector<int> FeedbackLog::valuesOf (int id)
{
    std::vector<int> values;
    for (const auto& [sentId, value] : take())
        if (sentId == id)
            values.push_back (value);
    return values;
}

DispatchRig::DispatchRig()
{
    for (int id = 1; id < 2048; ++id)
        midi.assignController (id, id >> 7, id & 127);
    for (auto& row : overviewMarkers)
        std::fill (std::begin (row), std::end (row), -1.0f);
    for (auto& row : recordCuePoints)
        std::fill (std::begin (row), std::end (row), -1.0f);

    container.setSize (2 * stripWidth, 600);
    ExComponent::setDefaultListener (this);

    auto& e = engine();
    e.setDeckInput (0, 0);
    e.setMainOutput (0);
    e.setPhonesOutput (2);
}

DispatchRig::~DispatchRig()
{
    ExComponent::setDefaultListener (nullptr);
}

ExComponent& DispatchRig::widget (int id)
{
    auto* found = ExComponent::getComponentByID (id);
    jassert (found != nullptr);
    return *found;
}

void DispatchRig::click (int id, juce::Point<int> at)
{
    auto& w = widget (id);
    const juce::ModifierKeys left (juce::ModifierKeys::leftButtonModifier);
    w.mouseDown (mouseEventAt (w, at, left));
    w.mouseUp (mouseEventAt (w, at, left));
}

void DispatchRig::fromMidi (int id, float value)
{
    const ControlDispatcher::ScopedValueFromMidi midiThread;
    widget (id).setValue (value, true);
}

FilterContainer* DispatchRig::getFilterPanel (int set)
{
    auto* s = container.getChannel (set);
    return s != nullptr ? &s->getFilterContainer() : nullptr;
}

EqContainer* DispatchRig::getEqPanel (int set)
{
    auto* s = container.getChannel (set);
    return s != nullptr ? &s->getEqContainer() : nullptr;
}

void DispatchRig::setCuePoint (int channel, int index, float position)
{
    recordCues.push_back ({ channel, index, position, juce::MessageManager::existsAndIsCurrentThread() });
}

void DispatchRig::setOverviewCuePosition (int channel, int index, float position)
{
    overviewCues.push_back ({ channel, index, position, juce::MessageManager::existsAndIsCurrentThread() });
}

float DispatchRig::process (int numSamples, int output)
{
    constexpr int block = 512;
    std::vector<float> in (block), out[4];
    for (auto& o : out)
        o.resize ((size_t) numSamples);
    const float* inputs[] = { in.data(), in.data() };
    const double step = 2.0 * juce::MathConstants<double>::pi * toneFrequency / 44100.0;

    for (int done = 0; done < numSamples; done += block)
    {
        const int n = std::min (block, numSamples - done);
        for (int i = 0; i < n; ++i)
            in[(size_t) i] = toneAmplitude * (float) std::sin (step * (double) (samplesRun + i));
        float* outputs[] = { out[0].data() + done, out[1].data() + done, out[2].data() + done, out[3].data() + done };
        engine().processBlock (inputs, 2, outputs, 4, n, false);
        samplesRun += n;
    }

    const auto& o = out[(size_t) output];
    float peak = 0.0f;
    for (size_t i = o.size() * 3 / 4; i < o.size(); ++i)
        peak = std::max (peak, std::abs (o[i]));
    return peak;
}

bool DispatchRig::loadPlayingTrack (int c)
{
    const auto file = temp.file ("track" + juce::String (c) + ".wav");
    writeAudioFile (file, FileKind::wav, 44100.0, 2, 32, 44100 * 20, sineSignal (440.0, 44100.0, 0.25f));
    auto& e = engine();
    if (! e.loadTrack (c, file, 120.0))
        return false;
    e.overrideDeckSignal (c, [this, c] (double* speeds, float* positions, int n) {
        std::fill (speeds, speeds + n, deckSpeeds[(size_t) c]);
        std::fill (positions, positions + n, -1000.0f);
    });
    // The engine's timer restarts the channel once its reader is ready: it
    // then plays from one second before the track.
    for (int tries = 0; tries < 400 && e.getPositionSeconds (c) > -0.5f; ++tries)
    {
        e.timerCallback();
        process (64);
        juce::Thread::sleep (5);
    }
    for (int tries = 0; tries < 400 && ! e.isFrameCached (c, 0); ++tries)
        juce::Thread::sleep (5);
    return e.getPositionSeconds (c) < -0.5f && e.isFrameCached (c, 0);
}
}
