#version 120
// Nine-tap Gaussian along one direction (step is one texel along x or y,
// times the spread).
uniform sampler2D source;
uniform vec4 texelSize;
uniform vec2 direction;
uniform float spread;
varying vec2 uv;

void main()
{
    vec2 step = direction * texelSize.xy * spread;
    vec3 sum = texture2D(source, uv).rgb * 0.2270270;
    sum += (texture2D(source, uv + step).rgb + texture2D(source, uv - step).rgb) * 0.1945946;
    sum += (texture2D(source, uv + 2.0 * step).rgb + texture2D(source, uv - 2.0 * step).rgb) * 0.1216216;
    sum += (texture2D(source, uv + 3.0 * step).rgb + texture2D(source, uv - 3.0 * step).rgb) * 0.0540541;
    sum += (texture2D(source, uv + 4.0 * step).rgb + texture2D(source, uv - 4.0 * step).rgb) * 0.0162162;
    gl_FragColor = vec4(sum, 1.0);
}
