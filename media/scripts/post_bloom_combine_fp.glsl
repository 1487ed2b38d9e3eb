#version 120
// Adds the blurred highlights back onto the picture; a slight lift of the
// whole picture toward the glow keeps bright days soft.
uniform sampler2D scene;
uniform sampler2D glow;
uniform float strength;
uniform float softness;
varying vec2 uv;

void main()
{
    vec3 c = texture2D(scene, uv).rgb;
    vec3 g = texture2D(glow, uv).rgb;
    c = mix(c, max(c, g), softness) + g * strength;
    gl_FragColor = vec4(c, 1.0);
}
