-- SPDX-FileCopyrightText: 2026 The BREV Editor developers
-- SPDX-License-Identifier: GPL-3.0-or-later
--
-- What the headless Ardour runs of the pattern player share: the environment, the engine, a
-- tempo map, the MIDI track the player goes on, its outputs and a four-bar export. Loaded by
-- ardour_export.lua and ardour_vst3.lua with dofile; see ardour_export.lua for what
-- ardour7-lua 7.3 does.

local M = { rate = 44100, beats_per_bar = 4 }

function M.env(name, default)
  local value = os.getenv(name) or default
  assert(value and value ~= "", name .. " is not set")
  return value
end

M.folder = M.env("BREV_SESSION")
M.name = M.folder:match("([^/]+)/*$")
M.stage = M.env("BREV_STAGE")

-- Flushed, so that an abort on the way out cannot swallow it.
function M.report(line)
  print(line)
  io.stdout:flush()
end

function M.beat_start(beat)
  return Temporal.timepos_t.from_ticks(beat * Temporal.ticks_per_beat)
end

function M.bar_start(bar)
  return M.beat_start((bar - 1) * M.beats_per_bar)
end

function M.start_engine()
  AudioEngine:set_backend("None (Dummy)", "", "")
  AudioEngine:set_sample_rate(M.rate)
  assert(AudioEngine:start(false) == 0, "audio engine did not start")
end

-- tempi: "BPM@BAR ...", the first at bar 1 ("140@1 120@3").
function M.set_tempi(tempi)
  local map = Temporal.TempoMap.fetch_writable()
  local first
  for bpm, bar in tempi:gmatch("(%d+%.?%d*)@(%d+)") do
    first = first or tonumber(bar)
    map:set_tempo(Temporal.Tempo(tonumber(bpm), tonumber(bpm), M.beats_per_bar),
      M.bar_start(tonumber(bar)))
  end
  assert(first == 1, "the tempo map must start at bar 1: " .. tempi)
  Temporal.TempoMap.update(map)
end

function M.add_track(session)
  local tracks = session:new_midi_track(ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1),
    ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2), true, ARDOUR.PluginInfo(), nil, nil, 1,
    "BREV", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
  assert(tracks:size() == 1, "no MIDI track")
  return tracks:front()
end

-- The outputs exist only once the instrument is in place; a project saved unconnected reopens
-- silent.
function M.connect_outputs(session, track)
  local master = session:master_out():input()
  for i = 0, 1 do
    local port = track:output():audio(i)
    assert(not port:isnil(), "the track has no audio output " .. i)
    port:disconnect_all()
    assert(port:connect(master:audio(i):name()) == 0, "cannot connect " .. port:name())
  end
end

-- Bars 1 to 4 into FOLDER/export/FILE.wav with the export preset BREV_EXPORT.
function M.export(session, file)
  local out = session:simple_export()
  local preset = M.env("BREV_EXPORT")
  assert(out:set_preset(preset), "no export preset " .. preset)
  out:set_folder(M.folder .. "/export")
  out:set_name(file)
  out:set_range(0, M.bar_start(5):samples())
  assert(out:run_export(), "export failed")
  M.report("EXPORTED " .. M.folder .. "/export/" .. file .. ".wav")
end

return M
