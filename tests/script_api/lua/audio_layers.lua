-- An audio layer without and with a sound.
local a = si:LayerAsAudio(sound)
eq(si:LayerAsAudio(img), nil, "an image layer's sound is no audio layer")
local amplitudes = {
    { "GetAmplitude", function(t, d) return a:GetAmplitude(t, d) end },
    { "GetRMSAmplitude", function(t, d) return a:GetRMSAmplitude(t, d) end },
    { "GetMaxAmplitude", function(t, d) return a:GetMaxAmplitude(t, d) end },
}
for _, row in ipairs(amplitudes) do
    eq(row[2](0.1, 0.1), 0, row[1] .. " without a sound")
end
cases {
    { "largest amplitude", function() return a:MaxAmplitude() end, 1 },
    { "no file", function() return a:AudioFile() end, "" },
    { "not silent", function() return a:IsSilent() end, false },
    { "spatial positioning", function() return a:SpatialPositioning() end, true },
}
a:SetSpatialPositioning(nil)
eq(a:SpatialPositioning(), false, "nil switches it off")
eq(a:GetStereoPosition(12), 0, "centred without spatial positioning")
raises("no argument", function() a:SetSpatialPositioning() end,
    "error in function 'SetSpatialPositioning'.")
a.fAudioLevel:SetValue(0, 1e-7)
eq(a:IsSilent(), true, "keyed below 1e-6")
a.fAudioLevel:SetValue(0, 1)
eq(a:GetAudioLevel(2.9), 1, "level")
raises("fAudioLevel = nil", function() a.fAudioLevel = nil end, "invalid type in variable assignment.")

-- A quoted path is refused; a WAV gives amplitudes; nil forgets it.
a:SetAudioFile('a".wav')
eq(a:AudioFile(), "", "a quoted path is refused")
a:SetAudioFile(wave)
eq(a:AudioFile(), wave, "the file")
for _, row in ipairs(amplitudes) do
    local level = row[2](0.1, 0.1)
    eq(level > 0 and level <= 1, true, row[1] .. " of the tone: " .. tostring(level))
    eq(row[2](0.1, -0.5), 0, row[1] .. " of a negative duration")
end
local largest = a:MaxAmplitude()
eq(largest > 0.1 and largest < 1, true, "largest amplitude of the tone: " .. tostring(largest))
a:SetAudioFile(nil)
eq(a:AudioFile(), "", "nil forgets the file")
eq(a:GetAmplitude(0.1, 0.1), 0, "and the sound")
