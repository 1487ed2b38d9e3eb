#version 120
// Mixes the reflected and the refracted picture by a Fresnel term: looking
// down into the water shows what lies under it, a glancing look the sky and
// the shore. Two ripple layers bend both lookups.
uniform sampler2D noiseMap;
uniform sampler2D reflectMap;
uniform sampler2D refractMap;
uniform float noiseScale;
uniform float fresnelBias;
uniform float fresnelScale;
uniform float fresnelPower;
uniform vec4 tintColour;
uniform vec4 fogColour;

varying vec4 projectionCoord;
varying vec3 noiseCoord;
varying vec3 eyeDir;
varying vec3 normalDir;
varying float fogAmount;

void main()
{
    vec2 ripple = texture2D(noiseMap, noiseCoord.xy).xy - 0.5;
    ripple += texture2D(noiseMap, noiseCoord.xy * 1.7 + vec2(0.31, 0.57) - vec2(noiseCoord.z * 0.01)).xy - 0.5;
    // Render-texture pictures are stored top row first (v = 0 at the top of
    // the picture), while clip space has y up: the y of the lookup is turned
    // over, or the water shows the upper half of its pictures upside down.
    vec2 screen = projectionCoord.xy / projectionCoord.w * vec2(0.5, -0.5) + 0.5 + ripple * noiseScale;
    float facing = 1.0 + dot(normalize(eyeDir), normalize(normalDir));
    float fresnel = clamp(fresnelBias + fresnelScale * pow(facing, fresnelPower), 0.0, 1.0);
    vec4 reflection = texture2D(reflectMap, screen);
    vec4 refraction = texture2D(refractMap, screen) + tintColour;
    vec3 water = mix(refraction, reflection, fresnel).rgb;
    gl_FragColor = vec4(mix(water, fogColour.rgb, fogAmount), 1.0);
}
