-- SPDX-FileCopyrightText: 2026 The BREV Editor developers
-- SPDX-License-Identifier: GPL-3.0-or-later
--
-- The pattern player's VST3 build in a headless Ardour project, one stage per run (see
-- ardour_export.lua for what ardour7-lua 7.3 does in general and why each stage is a run of
-- its own). Run by ardour_vst3_test.sh.
--   create: a session at 44100 Hz and BREV_BPM, a MIDI track holding the plugin (by
--           its name or class id, BREV_PLUGIN), saved.
--   export: the saved session loaded and saved again, four bars exported as
--           BREV_SESSION/export/BREV_NAME.wav (export preset BREV_EXPORT).
--
-- What it takes to have the VST3 build in Ardour 7.3 headless (found by trying):
-- - luasession only reads the plugin scanner's cache: its plugin list holds a VST3 once
--   `ardour-vst3-scanner BUNDLE` has written XDG_CACHE_HOME/ardour7/vst/*.v3i; Lua has no
--   binding to make it scan. The bundle must lie in ~/.vst3, /usr/local/lib/vst3,
--   /usr/lib/vst3 or the configuration's plugin_path_vst3, which a new configuration
--   (XDG_CONFIG_HOME) takes from VST3_PATH.
-- - ARDOUR.LuaAPI.new_plugin(session, name, ARDOUR.PluginType.VST3, preset) finds a
--   .vstpreset in ~/.vst3/presets/VENDOR/NAME/, but loading it never returns:
--   VST3Plugin::load_preset holds the plugin's process lock while the framework's setState
--   asks the host to restartComponent(kParamValuesChanged), which takes the same lock when not
--   on the process thread; Plugin:load_preset ends in the same call. Loading a session restores
--   the same bytes (the <chunk> of its <vst3> node, base64) without that lock, so the state
--   is written into the saved session between the stages.

local rate = 44100
local beats_per_bar = 4

local function env(name)
  local value = os.getenv(name)
  assert(value and value ~= "", name .. " is not set")
  return value
end

local folder = env("BREV_SESSION")
local name = folder:match("([^/]+)/*$")
local stage = env("BREV_STAGE")

-- Flushed, so that an abort on the way out cannot swallow it.
local function report(line)
  print(line)
  io.stdout:flush()
end

local function bar_start(bar)
  return Temporal.timepos_t.from_ticks((bar - 1) * beats_per_bar * Temporal.ticks_per_beat)
end

local function create()
  local session = assert(create_session(folder, name, rate), "cannot create " .. folder)
  local bpm = tonumber(env("BREV_BPM"))
  local map = Temporal.TempoMap.fetch_writable()
  map:set_tempo(Temporal.Tempo(bpm, bpm, beats_per_bar), bar_start(1))
  Temporal.TempoMap.update(map)
  local track = session:new_midi_track(ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1),
    ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2), true, ARDOUR.PluginInfo(), nil, nil, 1,
    "BREV", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false):front()
  local plugin = env("BREV_PLUGIN")
  local proc = ARDOUR.LuaAPI.new_plugin(session, plugin, ARDOUR.PluginType.VST3, "")
  assert(not proc:isnil(), "no VST3 " .. plugin .. " (is it in the scanner's cache?)")
  assert(track:add_processor_by_index(proc, 0, nil, true) == 0, "cannot add the plugin")
  -- A project saved unconnected reopens silent.
  local master = session:master_out():input()
  for i = 0, 1 do
    local port = track:output():audio(i)
    port:disconnect_all()
    assert(port:connect(master:audio(i):name()) == 0, "cannot connect " .. port:name())
  end
  return session
end

local function export(session)
  local file = env("BREV_NAME")
  local out = session:simple_export()
  assert(out:set_preset(env("BREV_EXPORT")), "no export preset " .. env("BREV_EXPORT"))
  out:set_folder(folder .. "/export")
  out:set_name(file)
  out:set_range(0, bar_start(5):samples())
  assert(out:run_export(), "export failed")
end

AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:set_sample_rate(rate)
assert(AudioEngine:start(false) == 0, "audio engine did not start")

assert(stage == "create" or stage == "export", "BREV_STAGE is create or export")
local session = stage == "create" and create() or
  assert(load_session(folder, name), "cannot load " .. folder)
-- Saved before the export: a save after one found the heap corrupted in 2 to 3 runs of 12, with
-- an instrument shipped with Ardour as with ours.
assert(session:save_state("", false, false, false, false, false) == 0, "cannot save")
if stage == "export" then
  export(session)
end
-- Before the close, which may abort when all is written.
report("DONE " .. stage)
close_session()
